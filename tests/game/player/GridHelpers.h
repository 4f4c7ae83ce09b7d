// Collision grids built in code from the level fixtures' triangle soups.
#pragma once

#include "support/LevelFixtures.h"

#include <player/CollisionGrid.h>

#include <string>

namespace playertest {

inline math::Vector3 vec(const test::Vec3& v) {
	return math::Vector3(v[0], v[1], v[2]);
}

// Adds the triangles with the owner; returns the number the grid kept.
inline int addTriangles(lumaroll::CollisionGrid& grid, const test::Triangles& t, int owner = 0) {
	const size_t before = grid.triangles.size();
	for (size_t i = 0; i + 2 < t.size(); i += 3)
		grid.addTriangle(owner, vec(t[i]), vec(t[i + 1]), vec(t[i + 2]));
	return int(grid.triangles.size() - before);
}

// Appends an owner record and returns its index.
inline int addOwner(lumaroll::CollisionGrid& grid, const std::string& name, bool solid = true) {
	lumaroll::CollisionOwner owner;
	owner.name = name;
	owner.solid = solid;
	grid.owners.push_back(owner);
	return int(grid.owners.size()) - 1;
}

} // namespace playertest

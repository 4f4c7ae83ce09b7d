#include "support/LevelFixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace test {

namespace {

void quad(Triangles& out, const Vec3& a, const Vec3& b, const Vec3& c, const Vec3& d) {
	out.insert(out.end(), {a, b, c, a, c, d});
}

} // namespace

Triangles floorTriangles(float h, float y, float cx, float cz) {
	Triangles t;
	quad(t, {cx - h, y, cz - h}, {cx - h, y, cz + h}, {cx + h, y, cz + h}, {cx + h, y, cz - h});
	return t;
}

Triangles downFloorTriangles(float h, float y) {
	Triangles t;
	quad(t, {-h, y, -h}, {h, y, -h}, {h, y, h}, {-h, y, h});
	return t;
}

Triangles wallTriangles(float x0, float w, float height) {
	Triangles t;
	quad(t, {x0, 0.f, -w}, {x0, 0.f, w}, {x0, height, w}, {x0, height, -w});
	return t;
}

Triangles ringWallTriangles(float x, float z, float radius, float height, int count) {
	const auto at = [&](int i, float y) {
		const float angle = 2.f * 3.14159265f * float(i % count) / float(count);
		return Vec3{x + radius * std::cos(angle), y, z + radius * std::sin(angle)};
	};
	Triangles t;
	for (int i = 0; i < count; ++i)
		quad(t, at(i, 0.f), at(i + 1, 0.f), at(i + 1, height), at(i, height));
	return t;
}

Triangles slopeTriangles(float degrees, float h) {
	const float rise = h * std::tan(degrees * 3.14159265f / 180.f);
	Triangles t;
	quad(t, {-h, -rise, -h}, {-h, -rise, h}, {h, rise, h}, {h, rise, -h});
	return t;
}

Triangles poleTriangles(float x, float z, float r, float height) {
	const Vec3 c[4] = {{x - r, 0.f, z - r}, {x + r, 0.f, z - r}, {x + r, 0.f, z + r}, {x - r, 0.f, z + r}};
	Triangles t;
	for (int i = 0; i < 4; ++i) {
		const Vec3& a = c[i];
		const Vec3& b = c[(i + 1) % 4];
		quad(t, a, b, {b[0], height, b[2]}, {a[0], height, a[2]});
	}
	return t;
}

Triangles rectangleTriangles(float minX, float minZ, float maxX, float maxZ, float y) {
	Triangles t;
	quad(t, {minX, y, minZ}, {minX, y, maxZ}, {maxX, y, maxZ}, {maxX, y, minZ});
	return t;
}

Triangles boxTriangles(const Vec3& lo, const Vec3& hi) {
	const auto at = [&](int x, int y, int z) { return Vec3{x ? hi[0] : lo[0], y ? hi[1] : lo[1], z ? hi[2] : lo[2]}; };
	Triangles t;
	quad(t, at(0, 0, 0), at(0, 0, 1), at(0, 1, 1), at(0, 1, 0)); // -x
	quad(t, at(1, 0, 0), at(1, 1, 0), at(1, 1, 1), at(1, 0, 1)); // +x
	quad(t, at(0, 0, 0), at(1, 0, 0), at(1, 0, 1), at(0, 0, 1)); // -y
	quad(t, at(0, 1, 0), at(0, 1, 1), at(1, 1, 1), at(1, 1, 0)); // +y
	quad(t, at(0, 0, 0), at(0, 1, 0), at(1, 1, 0), at(1, 0, 0)); // -z
	quad(t, at(0, 0, 1), at(1, 0, 1), at(1, 1, 1), at(0, 1, 1)); // +z
	return t;
}

float heightFieldHeight(float x, float z, float amplitude) {
	return amplitude * (std::sin(x * 0.0031f) * std::cos(z * 0.0027f) + 0.3f * std::sin(x * 0.011f + z * 0.007f));
}

Triangles heightFieldTriangles(int quadsX, int quadsZ, float spacing, float amplitude, float x0, float z0) {
	Triangles t;
	t.reserve(size_t(quadsX) * size_t(quadsZ) * 6);
	const auto at = [&](int i, int k) {
		const float x = x0 + float(i) * spacing, z = z0 + float(k) * spacing;
		return Vec3{x, heightFieldHeight(x, z, amplitude), z};
	};
	for (int i = 0; i < quadsX; ++i)
		for (int k = 0; k < quadsZ; ++k)
			quad(t, at(i, k), at(i, k + 1), at(i + 1, k + 1), at(i + 1, k));
	return t;
}

SceneWriter::Matrix rotationY(float angle, float x, float y, float z) {
	const float c = std::cos(angle), s = std::sin(angle);
	return {c, 0.f, s, x, 0.f, 1.f, 0.f, y, -s, 0.f, c, z};
}

Segments straightSegments(const Vec3& a, const Vec3& b, int count) {
	Segments out;
	const auto at = [&](int i) {
		const float f = float(i) / float(count);
		return Vec3{a[0] + (b[0] - a[0]) * f, a[1] + (b[1] - a[1]) * f, a[2] + (b[2] - a[2]) * f};
	};
	for (int i = 0; i < count; ++i)
		out.emplace_back(at(i), at(i + 1));
	return out;
}

Segments circleLoopSegments(float x, float y, float z, float radius, int count, bool clockwise) {
	const auto at = [&](int i) {
		const float angle = (clockwise ? -2.f : 2.f) * 3.14159265f * float(i % count) / float(count);
		return Vec3{x + radius * std::cos(angle), y, z + radius * std::sin(angle)};
	};
	Segments out;
	for (int i = 0; i < count; ++i)
		out.emplace_back(at(i), at(i + 1));
	return out;
}

Segments circleGapLoopSegments(float x, float y, float z, float radius, int count, float gap) {
	if (gap <= 0.f)
		return circleLoopSegments(x, y, z, radius, count);
	const double turn = 2.0 * 3.14159265358979 - double(gap) / double(radius);
	const auto at = [&](int i) {
		const double angle = turn * double(i) / double(count);
		return Vec3{x + float(radius * std::cos(angle)), y, z + float(radius * std::sin(angle))};
	};
	Segments out;
	for (int i = 0; i < count; ++i)
		out.emplace_back(at(i), at(i + 1));
	return out;
}

Segments shuffledSegments(Segments segments, unsigned seed) {
	const size_t n = segments.size();
	std::vector<size_t> order(n);
	for (size_t i = 0; i < n; ++i)
		order[i] = i;
	uint32_t state = seed * 2654435761u + 1u;
	for (size_t i = n; i > 1; --i) {
		state = state * 1664525u + 1013904223u;
		std::swap(order[i - 1], order[(state >> 8) % i]);
	}
	Segments out;
	for (size_t k = 0; k < n; ++k) {
		auto s = segments[order[k]];
		if (k % 2 == 1 && order[k] != 0 && order[k] + 1 != n)
			std::swap(s.first, s.second);
		out.push_back(s);
	}
	return out;
}

Segments reversedSegments(const Segments& segments) {
	Segments out;
	for (auto it = segments.rbegin(); it != segments.rend(); ++it)
		out.emplace_back(it->second, it->first);
	return out;
}

Segments joinedSegments(Segments first, const Segments& second) {
	first.insert(first.end(), second.begin(), second.end());
	return first;
}

int LevelFixtures::material() {
	if (m_material < 0) {
		m_material = m_writer.materialCount();
		m_writer.material("collision", "unlit.fx");
	}
	return m_material;
}

SceneWriter::Node& LevelFixtures::mesh(const std::string& name, const Triangles& triangles,
									   const std::string& properties) {
	// Whole triangles, at most 65535 vertices to a primitive.
	const size_t perPrimitive = 21845 * 3;
	std::vector<int32_t> primitiveIndices;
	size_t first = 0;
	do {
		const size_t count = std::min(perPrimitive, triangles.size() - first);
		std::vector<float> positions;
		std::vector<int> indices;
		for (size_t i = 0; i < count; ++i) {
			const Vec3& v = triangles[first + i];
			positions.insert(positions.end(), {v[0], v[1], v[2]});
			indices.push_back(int(i));
		}
		primitiveIndices.push_back(m_writer.primitiveCount());
		m_writer.primitive(material())
			.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions)
			.indices(indices);
		first += count;
	} while (first < triangles.size());
	SceneWriter::Node& node = m_writer.mesh(name).primitives(primitiveIndices);
	if (!properties.empty())
		m_writer.userProperty(name, properties);
	return node;
}

SceneWriter::Node& LevelFixtures::indexedMesh(const std::string& name, const std::vector<float>& positions,
											  const std::vector<int>& indices, const std::string& properties) {
	const int32_t index = m_writer.primitiveCount();
	m_writer.primitive(material()).component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions).indices(indices);
	SceneWriter::Node& node = m_writer.mesh(name).primitives({index});
	if (!properties.empty())
		m_writer.userProperty(name, properties);
	return node;
}

SceneWriter::Node& LevelFixtures::heightField(const std::string& name, int quadsX, int quadsZ, float spacing,
											  float amplitude, const std::string& properties) {
	// Strips of whole quad rows, each within 65535 shared vertices and 65535 indices.
	const int rowsPerStrip = std::max(1, std::min(65535 / (quadsZ + 1) - 1, 65535 / (6 * quadsZ)));
	std::vector<int32_t> primitiveIndices;
	for (int i0 = 0; i0 < quadsX; i0 += rowsPerStrip) {
		const int rows = std::min(rowsPerStrip, quadsX - i0);
		std::vector<float> positions;
		std::vector<int> indices;
		for (int i = 0; i <= rows; ++i)
			for (int k = 0; k <= quadsZ; ++k) {
				const float x = float(i0 + i) * spacing, z = float(k) * spacing;
				positions.insert(positions.end(), {x, heightFieldHeight(x, z, amplitude), z});
			}
		const auto v = [&](int i, int k) { return i * (quadsZ + 1) + k; };
		for (int i = 0; i < rows; ++i)
			for (int k = 0; k < quadsZ; ++k)
				indices.insert(indices.end(),
							   {v(i, k), v(i, k + 1), v(i + 1, k + 1), v(i, k), v(i + 1, k + 1), v(i + 1, k)});
		primitiveIndices.push_back(m_writer.primitiveCount());
		m_writer.primitive(material())
			.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions)
			.indices(indices);
	}
	SceneWriter::Node& node = m_writer.mesh(name).primitives(primitiveIndices);
	if (!properties.empty())
		m_writer.userProperty(name, properties);
	return node;
}

SceneWriter::Node& LevelFixtures::boxVolume(const std::string& name, const Vec3& a, const Vec3& b,
											const std::string& extra) {
	SceneWriter::Node& node = m_writer.dummy(name).box(a, b);
	m_writer.userProperty(name, "collisiontype=box\n" + extra);
	return node;
}

SceneWriter::Node& LevelFixtures::sphereVolume(const std::string& name, float x, float y, float z, float radius,
											   const std::string& extra) {
	SceneWriter::Node& node = m_writer.dummy(name).position(x, y, z);
	char text[64];
	std::snprintf(text, sizeof(text), "collisiontype=sphere\nradius=%g\n", radius);
	m_writer.userProperty(name, text + extra);
	return node;
}

SceneWriter::Node& LevelFixtures::dummyAt(const std::string& name, float x, float y, float z) {
	return m_writer.dummy(name).position(x, y, z);
}

SceneWriter::Node& LevelFixtures::lines(const std::string& name, const Segments& segments, const std::string& parent) {
	SceneWriter::Node& node = m_writer.lines(name);
	for (const auto& s : segments)
		node.line(s.first, s.second);
	if (!parent.empty())
		node.parent(parent);
	return node;
}

SceneWriter::Node& LevelFixtures::railNode(const std::string& name, const RailDrawing& drawing) {
	SceneWriter::Node& node = m_writer.node(name);
	const std::pair<const char*, const Segments*> parts[] = {{"track", &drawing.track},
															 {"tracknormal", &drawing.trackNormal},
															 {"cameraposition", &drawing.cameraPosition},
															 {"cameralookat", &drawing.cameraLookAt}};
	for (const auto& part : parts)
		if (!part.second->empty())
			lines(part.first, *part.second, name);
	if (!drawing.properties.empty())
		m_writer.userProperty("D_" + name.substr(2), drawing.properties);
	return node;
}

} // namespace test

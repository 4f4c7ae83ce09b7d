#ifndef GR_RECT_H
#define GR_RECT_H

#include <cstdint>

namespace gr {

/**
 * Rectangle of four signed ints: x0 (left), y0 (top), x1 (right), y1
 * (bottom), with x1 and y1 exclusive. No operation checks that x0 <= x1.
 */
class Rect {
public:
	int32_t x0, y0, x1, y1;

	/** All zero. */
	Rect() : x0(0), y0(0), x1(0), y1(0) {}

	/** (0, 0, width, height). */
	Rect(int width, int height) : x0(0), y0(0), x1(width), y1(height) {}

	/** Sets all four values and returns the rectangle. */
	Rect& set(int left, int top, int right, int bottom);

	void setLeft(int v) { x0 = v; }
	void setTop(int v) { y0 = v; }
	void setRight(int v) { x1 = v; }
	void setBottom(int v) { y1 = v; }

	int left() const { return x0; }
	int top() const { return y0; }
	int right() const { return x1; }
	int bottom() const { return y1; }
	int width() const { return x1 - x0; }
	int height() const { return y1 - y0; }

	/** Intersection in place: larger x0/y0, smaller x1/y1. */
	Rect& intersect(const Rect& other);

	/** Intersection as a new rectangle. */
	Rect intersection(const Rect& other) const;

	/** Union in place: smaller x0/y0, larger x1/y1. */
	Rect& unite(const Rect& other);

	/** Union as a new rectangle. */
	Rect united(const Rect& other) const;

	/**
	 * This rectangle cut by other: an edge of other that lies strictly inside
	 * this rectangle's span replaces the facing edge (other.x1 becomes x0,
	 * other.x0 becomes x1; the same for y).
	 */
	Rect cut(const Rect& other) const;

	bool operator==(const Rect& o) const { return x0 == o.x0 && y0 == o.y0 && x1 == o.x1 && y1 == o.y1; }
	bool operator!=(const Rect& o) const { return !(*this == o); }
};

} // gr

#endif

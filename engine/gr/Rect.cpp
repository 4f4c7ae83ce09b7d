#include <gr/Rect.h>

namespace gr {

Rect& Rect::set(int left, int top, int right, int bottom) {
	x0 = left;
	y0 = top;
	x1 = right;
	y1 = bottom;
	return *this;
}

Rect& Rect::intersect(const Rect& o) {
	if (o.x0 > x0)
		x0 = o.x0;
	if (o.y0 > y0)
		y0 = o.y0;
	if (o.x1 < x1)
		x1 = o.x1;
	if (o.y1 < y1)
		y1 = o.y1;
	return *this;
}

Rect Rect::intersection(const Rect& o) const {
	Rect r = *this;
	return r.intersect(o);
}

Rect& Rect::unite(const Rect& o) {
	if (o.x0 < x0)
		x0 = o.x0;
	if (o.y0 < y0)
		y0 = o.y0;
	if (o.x1 > x1)
		x1 = o.x1;
	if (o.y1 > y1)
		y1 = o.y1;
	return *this;
}

Rect Rect::united(const Rect& o) const {
	Rect r = *this;
	return r.unite(o);
}

Rect Rect::cut(const Rect& s) const {
	Rect r = *this;
	r.x0 = (x0 < s.x1 && s.x1 < x1) ? s.x1 : x0;
	r.x1 = (x0 < s.x0 && s.x0 < x1) ? s.x0 : x1;
	r.y0 = (y0 < s.y1 && s.y1 < y1) ? s.y1 : y0;
	r.y1 = (y0 < s.y0 && s.y0 < y1) ? s.y0 : y1;
	return r;
}

} // gr

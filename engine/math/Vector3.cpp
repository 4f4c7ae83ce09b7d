#include <math/Vector3.h>

#include <math/Matrix3x3.h>

namespace math {

Vector3 Vector3::rotate(const Vector3& axis, float angle) const {
	return Matrix3x3::rotation(axis, angle).transform(*this);
}

} // namespace math

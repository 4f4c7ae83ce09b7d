#include <gr/VertexFormat.h>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>

namespace gr {

namespace {

// Float to integer with truncation toward zero. Values beyond [lo, hi]
// saturate and NaN gives 0, so no input reaches an undefined conversion.
inline int saturate(float f, float lo, float hi) {
	if (f >= lo)
		return f <= hi ? int(f) : int(hi);
	if (f < lo)
		return int(lo);
	return 0;
}

// Integer components accept both the signed and the unsigned reading of
// their bits (colours go in as 0..255), so the range kept is the union.
template <class C>
struct IntRange;
template <>
struct IntRange<int16_t> {
	static constexpr float lo = -32768.f, hi = 65535.f;
};
template <>
struct IntRange<int8_t> {
	static constexpr float lo = -128.f, hi = 255.f;
};

template <class C>
inline float decodeComponent(const uint8_t* p) {
	C v;
	memcpy(&v, p, sizeof(C));
	return float(v);
}

template <class C>
inline void encodeComponent(uint8_t* p, float f) {
	const C v = C(saturate(f, IntRange<C>::lo, IntRange<C>::hi));
	memcpy(p, &v, sizeof(C));
}

template <>
inline void encodeComponent<float>(uint8_t* p, float f) {
	memcpy(p, &f, sizeof(float));
}

// One element of N components of type C.
template <class C, int N>
struct VectorCodec {
	static inline void read(const uint8_t* p, float* out) {
		for (int i = 0; i < N; ++i)
			out[i] = decodeComponent<C>(p + i * sizeof(C));
		for (int i = N; i < 4; ++i)
			out[i] = 0.f;
	}

	static inline void write(uint8_t* p, const float* in) {
		for (int i = 0; i < N; ++i)
			encodeComponent<C>(p + i * sizeof(C), in[i]);
	}
};

// Absent or invalid data: reads as zeros, writes nothing.
struct NoneCodec {
	static inline void read(const uint8_t*, float* out) { out[0] = out[1] = out[2] = out[3] = 0.f; }
	static inline void write(uint8_t*, const float*) {}
};

struct Packed5Codec {
	static inline void read(const uint8_t* p, float* out) {
		uint16_t v;
		memcpy(&v, p, 2);
		out[0] = float(v & 31);
		out[1] = float((v >> 5) & 31);
		out[2] = float((v >> 10) & 31);
		out[3] = float(v >> 15);
	}

	static inline void write(uint8_t* p, const float* in) {
		const uint32_t x = uint32_t(saturate(in[0], -32768.f, 65535.f));
		const uint32_t y = uint32_t(saturate(in[1], -32768.f, 65535.f));
		const uint32_t z = uint32_t(saturate(in[2], -32768.f, 65535.f));
		const uint32_t w = uint32_t(saturate(in[3], -32768.f, 65535.f));
		const uint16_t v = uint16_t((x & 31) | ((y << 5) & 0x3E0) | ((z << 10) & 0x7C00) | (w != 0 ? 0x8000 : 0));
		memcpy(p, &v, 2);
	}
};

template <int F>
struct Codec {
	using Type = NoneCodec;
};
template <>
struct Codec<VertexFormat::S_32> {
	using Type = VectorCodec<float, 1>;
};
template <>
struct Codec<VertexFormat::S_16> {
	using Type = VectorCodec<int16_t, 1>;
};
template <>
struct Codec<VertexFormat::S_8> {
	using Type = VectorCodec<int8_t, 1>;
};
template <>
struct Codec<VertexFormat::V2_32> {
	using Type = VectorCodec<float, 2>;
};
template <>
struct Codec<VertexFormat::V2_16> {
	using Type = VectorCodec<int16_t, 2>;
};
template <>
struct Codec<VertexFormat::V2_8> {
	using Type = VectorCodec<int8_t, 2>;
};
template <>
struct Codec<VertexFormat::V3_32> {
	using Type = VectorCodec<float, 3>;
};
template <>
struct Codec<VertexFormat::V3_16> {
	using Type = VectorCodec<int16_t, 3>;
};
template <>
struct Codec<VertexFormat::V3_8> {
	using Type = VectorCodec<int8_t, 3>;
};
template <>
struct Codec<VertexFormat::V4_32> {
	using Type = VectorCodec<float, 4>;
};
template <>
struct Codec<VertexFormat::V4_16> {
	using Type = VectorCodec<int16_t, 4>;
};
template <>
struct Codec<VertexFormat::V4_8> {
	using Type = VectorCodec<int8_t, 4>;
};
template <>
struct Codec<VertexFormat::V4_5> {
	using Type = Packed5Codec;
};

using CopyFn = void (*)(uint8_t*, ptrdiff_t, const uint8_t*, ptrdiff_t, int);
using ScaledFn = void (*)(uint8_t*, ptrdiff_t, const uint8_t*, ptrdiff_t, int, const float*, const float*);
using ElementFn = void (*)(const uint8_t*, float*);
using WriteFn = void (*)(uint8_t*, const float*);

template <int S, int D>
void copyLoop(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride, int count) {
	using SC = typename Codec<S>::Type;
	using DC = typename Codec<D>::Type;
	for (int i = 0; i < count; ++i) {
		float v[4];
		SC::read(src, v);
		DC::write(dst, v);
		src += srcStride;
		dst += dstStride;
	}
}

template <int S, int D>
void scaledLoop(uint8_t* dst, ptrdiff_t dstStride, const uint8_t* src, ptrdiff_t srcStride, int count,
				const float* scale, const float* bias) {
	using SC = typename Codec<S>::Type;
	using DC = typename Codec<D>::Type;
	const float s0 = scale[0], s1 = scale[1], s2 = scale[2], s3 = scale[3];
	const float b0 = bias[0], b1 = bias[1], b2 = bias[2], b3 = bias[3];
	for (int i = 0; i < count; ++i) {
		float v[4];
		SC::read(src, v);
		v[0] = v[0] * s0 + b0;
		v[1] = v[1] * s1 + b1;
		v[2] = v[2] * s2 + b2;
		v[3] = v[3] * s3 + b3;
		DC::write(dst, v);
		src += srcStride;
		dst += dstStride;
	}
}

constexpr int FORMATS = VertexFormat::DF_SIZE;

template <int S, int... D>
constexpr std::array<CopyFn, FORMATS> copyRow(std::integer_sequence<int, D...>) {
	return {{&copyLoop<S, D>...}};
}

template <int... S>
constexpr std::array<std::array<CopyFn, FORMATS>, FORMATS> copyTable(std::integer_sequence<int, S...>) {
	return {{copyRow<S>(std::make_integer_sequence<int, FORMATS>())...}};
}

template <int S, int... D>
constexpr std::array<ScaledFn, FORMATS> scaledRow(std::integer_sequence<int, D...>) {
	return {{&scaledLoop<S, D>...}};
}

template <int... S>
constexpr std::array<std::array<ScaledFn, FORMATS>, FORMATS> scaledTable(std::integer_sequence<int, S...>) {
	return {{scaledRow<S>(std::make_integer_sequence<int, FORMATS>())...}};
}

template <int F>
void readOne(const uint8_t* p, float* out) {
	Codec<F>::Type::read(p, out);
}
template <int F>
void writeOne(uint8_t* p, const float* in) {
	Codec<F>::Type::write(p, in);
}

template <int... F>
constexpr std::array<ElementFn, FORMATS> readTable(std::integer_sequence<int, F...>) {
	return {{&readOne<F>...}};
}

template <int... F>
constexpr std::array<WriteFn, FORMATS> writeTable(std::integer_sequence<int, F...>) {
	return {{&writeOne<F>...}};
}

const auto COPY = copyTable(std::make_integer_sequence<int, FORMATS>());
const auto SCALED = scaledTable(std::make_integer_sequence<int, FORMATS>());
const auto READ = readTable(std::make_integer_sequence<int, FORMATS>());
const auto WRITE = writeTable(std::make_integer_sequence<int, FORMATS>());

inline bool isValid(int df) {
	return df > VertexFormat::NONE && df < VertexFormat::DF_SIZE;
}

// Invalid formats read as NONE.
inline int sourceIndex(int df) {
	return isValid(df) ? df : VertexFormat::NONE;
}

} // namespace

void VertexFormat::copyVertexData(void* dst, int dstStride, int dstFormat, const void* src, int srcStride,
								  int srcFormat, int count) {
	if (count <= 0 || !isValid(dstFormat))
		return;

	uint8_t* d = static_cast<uint8_t*>(dst);
	const uint8_t* s = static_cast<const uint8_t*>(src);
	if (dstFormat == srcFormat) {
		const int size = getDataFormatSize(dstFormat);
		if (dstStride == size && srcStride == size) {
			memmove(d, s, size_t(count) * size_t(size));
		} else {
			for (int i = 0; i < count; ++i)
				memmove(d + ptrdiff_t(i) * dstStride, s + ptrdiff_t(i) * srcStride, size_t(size));
		}
		return;
	}

	COPY[sourceIndex(srcFormat)][dstFormat](d, dstStride, s, srcStride, count);
}

void VertexFormat::copyVertexDataScaled(void* dst, int dstStride, int dstFormat, const void* src, int srcStride,
										int srcFormat, const float* scale, const float* bias, int count) {
	if (count <= 0 || !isValid(dstFormat))
		return;
	SCALED[sourceIndex(srcFormat)][dstFormat](static_cast<uint8_t*>(dst), dstStride, static_cast<const uint8_t*>(src),
											  srcStride, count, scale, bias);
}

void VertexFormat::readElement(int df, const void* src, float* out) {
	if (isValid(df))
		READ[df](static_cast<const uint8_t*>(src), out);
}

void VertexFormat::writeElement(int df, void* dst, const float* in) {
	if (isValid(df))
		WRITE[df](static_cast<uint8_t*>(dst), in);
}

void VertexFormat::computeVertexBounds(const void* data, int df, int count, const float* transform,
									   math::Vector3& outMin, math::Vector3& outMax, float& outRadius) {
	if (count <= 0) {
		outMin = outMax = math::Vector3();
		outRadius = 0.f;
		return;
	}
	if (df != V3_32 && df != V3_16)
		return;

	const int size = getDataFormatSize(df);
	const uint8_t* p = static_cast<const uint8_t*>(data);
	const float scale = transform[0];
	float lo[3], hi[3];
	float maxLength2 = 0.f;
	for (int i = 0; i < count; ++i, p += size) {
		float v[4];
		READ[df](p, v);
		float length2 = 0.f;
		for (int k = 0; k < 3; ++k) {
			if (i == 0 || v[k] < lo[k])
				lo[k] = v[k];
			if (i == 0 || v[k] > hi[k])
				hi[k] = v[k];
			const float t = v[k] * scale + transform[1 + k];
			length2 += t * t;
		}
		if (length2 > maxLength2)
			maxLength2 = length2;
	}

	float boxMin[3], boxMax[3];
	for (int k = 0; k < 3; ++k) {
		float a = lo[k] * scale + transform[1 + k];
		float b = hi[k] * scale + transform[1 + k];
		// A negative scale mirrors the box: keep min <= max.
		if (b < a)
			std::swap(a, b);
		boxMin[k] = a;
		boxMax[k] = b;
	}
	outMin = math::Vector3(boxMin[0], boxMin[1], boxMin[2]);
	outMax = math::Vector3(boxMax[0], boxMax[1], boxMax[2]);
	outRadius = std::sqrt(maxLength2);
}

} // gr

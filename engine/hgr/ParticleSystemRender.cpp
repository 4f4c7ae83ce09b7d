#include <hgr/Camera.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <gr/Context.h>
#include <gr/Primitive.h>
#include <gr/Rect.h>
#include <gr/Shader.h>
#include <lang/Debug.h>
#include <math/Matrix4x4.h>
#include <math/Vector4.h>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace hgr {

namespace {

/** Most particles one indexed draw can hold: 6 indices each within 16 bits. */
const int MAX_INDEXED_BATCH = 0xFFFF / 6;

/** Particles the primitive of growing pools first has room for. */
const int FIRST_PRIMITIVE_ROOM = 64;

bool g_warnedPlatform = false;

/** Sprite roll of the camera: 0 for CAMERAUP; for WORLDUP the angle that keeps world Y up on screen. */
float cameraRoll(const ParticleSystem::Description& d, const Camera* camera) {
	if (d.textureView != ParticleSystem::Description::VIEW_WORLDUP)
		return 0.f;
	const math::Matrix3x4& K = camera->getCameraWorldTransform();
	const math::Vector3 X = K.getColumn(0), Y = K.getColumn(1), Z = K.getColumn(2);
	const math::Vector3 up(0.f, 1.f, 0.f);
	const math::Vector3 u = up - Z * Z.dot(up);
	if (u.dot(u) <= math::MIN_NORMAL_FLOAT)
		return std::acos(std::min(1.f, Y.dot(Y)));
	const math::Vector3 U = u.normalize();
	float roll = std::acos(std::max(-1.f, std::min(1.f, Y.dot(U))));
	if (X.dot(U) < 0.f)
		roll = -roll;
	return roll;
}

/** Channel value x 255 clamped to 0..255 and truncated (0 for what is not a number). */
inline uint32_t channel(float x) {
	const float v = x * 255.f;
	return v > 0.f ? uint32_t(v < 255.f ? v : 255.f) : 0u;
}

inline uint32_t packColour(const ParticleSystem::Particle& p) {
	return channel(p.alpha) << 24 | channel(p.red) << 16 | channel(p.green) << 8 | channel(p.blue);
}

/** v truncated to 16 bits, saturating at the ends of the range (what is not a number becomes 0). */
inline int16_t toShort(float v) {
	const float c = v > -32768.f ? (v < 32767.f ? v : 32767.f) : (v == v ? -32768.f : 0.f);
	return int16_t(int(c));
}

/** The frame's top-left texture corner; frame 0 for an index outside the table. */
inline const ParticleSystem::Description::TextureFrame& frameOf(const ParticleSystem::Description& d, int frame) {
	const int n = d.textureFrameTable.size();
	return d.textureFrameTable[unsigned(frame) < unsigned(n) ? frame : 0];
}

/** The primitive kept in slot when it has format and room for vertexCount; else a new one. */
void ensurePrimitive(lang::Ptr<gr::Primitive>& slot, gr::Context* context, const gr::VertexFormat& format,
					 int vertexCount, int indexCount) {
	if (slot && slot->getVertexFormat() == format && slot->getVertexCount() == vertexCount &&
		slot->getIndexCount() == indexCount)
		return;
	slot = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, vertexCount, indexCount, 2);
}

} // namespace

const char* const ParticleSystem::UNSUPPORTED_PLATFORM_MESSAGE =
	"Particle systems used but ParticleSystem::render() not implemented on this platform!\n";

void ParticleSystem::render(gr::Context* context, Camera* camera, int priority) {
	gr::Shader* shader = m_description->shader;
	if (!shader || shader->getPriority() != priority || m_emissionCount == 0)
		return;
	m_timeSinceRender = 0.f;

	switch (context->getPlatform()) {
	case gr::Context::PLATFORM_N3D:
		renderViewSpace(context, camera);
		break;
	case gr::Context::PLATFORM_EGL:
	case 5: // what the OpenGL ES 2 context reports before a level sets its platform
		renderScreenSpace(context, camera);
		break;
	default:
		if (!g_warnedPlatform) {
			g_warnedPlatform = true;
			lang::debugPrintf("%s", UNSUPPORTED_PLATFORM_MESSAGE);
		}
		break;
	}
}

int ParticleSystem::primitiveRoom() {
	const Description& d = *m_description;
	if (!m_poolsGrow)
		return d.systemMaxEmissions * d.emissionMaxParticles;
	// Room for the live particles, doubled as they grow past it, within what
	// the system can hold.
	if (m_primitiveRoom == 0 || m_particleCount > m_primitiveRoom) {
		const long long most =
			std::min((long long)d.systemMaxEmissions * d.emissionMaxParticles, (long long)PARTICLE_BUDGET);
		const int wanted = std::max(std::max(FIRST_PRIMITIVE_ROOM, 2 * m_primitiveRoom), m_particleCount);
		m_primitiveRoom = int(std::min(most, (long long)wanted));
	}
	return m_primitiveRoom;
}

void ParticleSystem::drawPasses() {
	gr::Shader* shader = m_description->shader;
	const int passes = shader->begin();
	try {
		renderPasses(shader, m_primitive.ptr(), passes);
	} catch (...) {
		shader->end();
		throw;
	}
	shader->end();
}

void ParticleSystem::renderScreenSpace(gr::Context* context, Camera* camera) {
	const Description& d = *m_description;

	const gr::Rect& viewport = context->getViewport();
	const int hwi = (viewport.x1 - viewport.x0) / 2;
	const int hhi = (viewport.y1 - viewport.y0) / 2;
	// Under two pixels the half sizes are 0 and every vertex would divide by them.
	if (hwi < 1 || hhi < 1)
		return;
	const float hw = float(hwi), hh = float(hhi);
	const float cx = float((viewport.x0 + viewport.x1) / 2), cy = float((viewport.y0 + viewport.y1) / 2);
	const float invHw = 1.f / hw, invHh = 1.f / hh;
	const math::Matrix4x4& P = context->getProjectionMatrix();
	const math::Matrix3x4& V = camera->getCameraViewTransform();
	const float nearZ = camera->getFront() + 1e-5f;
	const float roll = cameraRoll(d, camera);
	const float f = d.textureFrameSize;

	gr::VertexFormat format;
	format.addPosition(gr::VertexFormat::V3_32)
		.addDiffuse(gr::VertexFormat::V4_8)
		.addTextureCoordinate(gr::VertexFormat::V2_32);
	ensurePrimitive(m_primitive, context, format, primitiveRoom() * 6, 0);

	int written = 0;
	{
		gr::ContextObjectLock lock(m_primitive, gr::ContextObject::LOCK_WRITE);
		void *posData, *colData, *texData;
		int posPitch, colPitch, texPitch;
		m_primitive->getVertexDataPointer(gr::VertexFormat::DT_POSITION, &posData, &posPitch);
		m_primitive->getVertexDataPointer(gr::VertexFormat::DT_DIFFUSE, &colData, &colPitch);
		m_primitive->getVertexDataPointer(gr::VertexFormat::DT_TEX0, &texData, &texPitch);
		uint8_t* pos = static_cast<uint8_t*>(posData);
		uint8_t* col = static_cast<uint8_t*>(colData);
		uint8_t* tex = static_cast<uint8_t*>(texData);

		for (int ei = 0; ei < m_emissionCount; ++ei) {
			const Emission& e = m_emissions[ei];
			for (int k = 0; k < e.particleCount; ++k) {
				const Particle& p = e.particles[k];
				const math::Vector3 v = V.transform(p.position);
				if (v.z < nearZ)
					continue;
				const math::Vector4 half = P.transform(math::Vector4(p.size * 0.5f, 0.f, v.z, 1.f));
				const float w = half.w;
				if (w <= 1e-9f)
					continue;
				const float invW = 1.f / w;
				const math::Vector4 c = P.transform(math::Vector4(v.x, v.y, v.z, 1.f));
				const float sx = c.x * invW * hw + cx;
				const float sy = cy - c.y * invW * hh;
				const float depth = c.z * invW;

				float qx[4], qy[4];
				if (p.elasticity == 0.f) {
					const float B = half.x * invW * hw;
					const float ox[4] = {-B, B, B, -B};
					const float oy[4] = {-B, -B, B, B};
					const float angle = roll + p.rotation;
					if (angle != 0.f) {
						const float ca = std::cos(angle), sa = std::sin(angle);
						for (int i = 0; i < 4; ++i) {
							qx[i] = sx + ox[i] * ca - oy[i] * sa;
							qy[i] = sy + ox[i] * sa + oy[i] * ca;
						}
					} else {
						for (int i = 0; i < 4; ++i) {
							qx[i] = sx + ox[i];
							qy[i] = sy + oy[i];
						}
					}
				} else {
					const math::Vector3 s = V.rotate(p.velocity) * p.elasticity;
					const math::Vector3 across = math::Vector3(-s.y, s.x, 0.f).normalize() * (p.size * 0.5f);
					const math::Vector3 corners[4] = {v - s + across, v + s + across, v + s - across, v - s - across};
					float px[4], py[4];
					bool visible = true;
					for (int i = 0; i < 4 && visible; ++i) {
						const math::Vector3& q = corners[i];
						const math::Vector4 r = P.transform(math::Vector4(q.x, q.y, q.z, 1.f));
						if (q.z < nearZ || r.w <= math::MIN_NORMAL_FLOAT) {
							visible = false;
							break;
						}
						px[i] = r.x / r.w * hw + cx;
						py[i] = cy - r.y / r.w * hh;
					}
					if (!visible)
						continue;
					qx[0] = px[0];
					qy[0] = py[0];
					qx[1] = px[0] + px[2] - px[1];
					qy[1] = py[0] + py[2] - py[1];
					qx[2] = px[2];
					qy[2] = py[2];
					qx[3] = px[1];
					qy[3] = py[1];
				}

				const ParticleSystem::Description::TextureFrame& frame = frameOf(d, p.frame);
				const float tu[4] = {frame.u, frame.u + f, frame.u + f, frame.u};
				const float tv[4] = {frame.v, frame.v, frame.v + f, frame.v + f};
				static const int ORDER[6] = {0, 1, 2, 0, 2, 3};
				const uint32_t colour = packColour(p);
				for (int i = 0; i < 6; ++i) {
					const int q = ORDER[i];
					float* xyz = reinterpret_cast<float*>(pos);
					xyz[0] = (qx[q] - cx) * invHw;
					xyz[1] = (cy - qy[q]) * invHh;
					xyz[2] = depth;
					*reinterpret_cast<uint32_t*>(col) = colour;
					float* uv = reinterpret_cast<float*>(tex);
					uv[0] = tu[q];
					uv[1] = tv[q];
					pos += posPitch;
					col += colPitch;
					tex += texPitch;
				}
				++written;
			}
		}
		m_primitive->setVertexRangeEnd(written * 6);
	}
	if (written < 1)
		return;
	drawPasses();
}

void ParticleSystem::renderViewSpace(gr::Context* context, Camera* camera) {
	const Description& d = *m_description;
	const math::Matrix3x4& V = camera->getCameraViewTransform();
	const float nearZ = camera->getFront() + 1e-5f;
	const float roll = cameraRoll(d, camera);
	const float f = d.textureFrameSize;

	// 16-bit indices reach 10922 particles per draw; more are drawn in further batches.
	const int batch = std::min(primitiveRoom(), MAX_INDEXED_BATCH);
	gr::VertexFormat format;
	format.addPosition(gr::VertexFormat::V3_16).addTextureCoordinate(gr::VertexFormat::V2_16);
	const bool fresh = !m_primitive || m_primitive->getVertexFormat() != format;
	ensurePrimitive(m_primitive, context, format, batch * 4, batch * 6);
	if (fresh)
		m_primitive->setTexCoordScale(math::Vector4(1.f / 4096.f, 0.f, 0.f, 0.f));

	bool matricesSet = false;
	int ei = 0, k = 0;
	while (ei < m_emissionCount) {
		int written = 0;
		{
			gr::ContextObjectLock lock(m_primitive, gr::ContextObject::LOCK_WRITE);
			void *posData, *texData, *indexData;
			int posPitch, texPitch, indexPitch;
			m_primitive->getVertexDataPointer(gr::VertexFormat::DT_POSITION, &posData, &posPitch);
			m_primitive->getVertexDataPointer(gr::VertexFormat::DT_TEX0, &texData, &texPitch);
			m_primitive->getIndexDataPointer(&indexData, &indexPitch);
			uint8_t* pos = static_cast<uint8_t*>(posData);
			uint8_t* tex = static_cast<uint8_t*>(texData);
			uint16_t* index = static_cast<uint16_t*>(indexData);

			for (; ei < m_emissionCount && written < batch; ++ei, k = 0) {
				const Emission& e = m_emissions[ei];
				for (; k < e.particleCount && written < batch; ++k) {
					const Particle& p = e.particles[k];
					const math::Vector3 v = V.transform(p.position);
					if (v.z < nearZ)
						continue;
					const float h = p.size * 0.5f;
					const float angle = roll + p.rotation;
					math::Vector3 corners[4];
					if (p.elasticity != 0.f) {
						const math::Vector3 s = V.rotate(p.velocity) * p.elasticity;
						const math::Vector3 across = math::Vector3(-s.y, s.x, 0.f).normalize() * h;
						corners[0] = v - s + across;
						corners[1] = v + s + across;
						corners[2] = v + s - across;
						corners[3] = v - s - across;
					} else if (d.particleAlignedToUserNormal) {
						math::Matrix3x3 M = p.basis;
						if (angle != 0.f)
							M = math::Matrix3x3::rotation(M.getColumn(2), angle) * M;
						const math::Vector3 a = V.rotate(M.getColumn(0)) * h;
						const math::Vector3 b = V.rotate(M.getColumn(1)) * h;
						corners[0] = v - a + b;
						corners[1] = v + a + b;
						corners[2] = v + a - b;
						corners[3] = v - a - b;
					} else {
						// Offsets (-h, h), (h, h), (h, -h), (-h, -h) turned by the angle: two of
						// them are the negatives of the other two.
						const float ca = angle != 0.f ? std::cos(angle) * h : h;
						const float sa = angle != 0.f ? std::sin(angle) * h : 0.f;
						const float ax = -ca - sa, ay = -sa + ca; // (-h, h) turned
						const float bx = ca - sa, by = sa + ca;	  // (h, h) turned
						corners[0] = math::Vector3(v.x + ax, v.y + ay, v.z);
						corners[1] = math::Vector3(v.x + bx, v.y + by, v.z);
						corners[2] = math::Vector3(v.x - ax, v.y - ay, v.z);
						corners[3] = math::Vector3(v.x - bx, v.y - by, v.z);
					}

					const ParticleSystem::Description::TextureFrame& frame = frameOf(d, p.frame);
					const float tu[4] = {frame.u, frame.u + f, frame.u + f, frame.u};
					const float tv[4] = {frame.v, frame.v, frame.v + f, frame.v + f};
					for (int i = 0; i < 4; ++i) {
						int16_t* xyz = reinterpret_cast<int16_t*>(pos);
						xyz[0] = toShort(corners[i].x);
						xyz[1] = toShort(corners[i].y);
						xyz[2] = toShort(corners[i].z);
						int16_t* uv = reinterpret_cast<int16_t*>(tex);
						uv[0] = toShort(tu[i] * 4096.f);
						uv[1] = toShort(tv[i] * 4096.f);
						pos += posPitch;
						tex += texPitch;
					}
					const uint16_t b = uint16_t(written * 4);
					index[0] = b;
					index[1] = uint16_t(b + 2);
					index[2] = uint16_t(b + 1);
					index[3] = b;
					index[4] = uint16_t(b + 3);
					index[5] = uint16_t(b + 2);
					index += 6;
					++written;
				}
				if (k < e.particleCount)
					break; // the batch is full: go on with this emission in the next one
			}
			m_primitive->setIndexRangeEnd(written * 6);
			m_primitive->setVertexRangeEnd(written * 4);
		}
		if (written < 1)
			break;
		if (!matricesSet) {
			const math::Matrix4x4 identity;
			m_description->shader->setMatrix(gr::Shader::PARAM_WORLDTM, identity);
			m_description->shader->setMatrix(gr::Shader::PARAM_VIEWTM, identity);
			matricesSet = true;
		}
		drawPasses();
	}
}

} // namespace hgr

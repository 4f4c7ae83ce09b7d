#include <hgr/Camera.h>
#include <hgr/Mesh.h>
#include <gr/Shader.h>
#include <gr/VertexFormat.h>
#include <lang/Exception.h>
#include <lang/Format.h>
#include <algorithm>

namespace hgr {

namespace {

template <class T>
void removeAt(lang::Array<T>& array, int index, const char* what) {
	if (index < 0 || index >= array.size())
		throw lang::Exception(lang::Format("Mesh has no {0} {1}.", what, index));
	for (int i = index + 1; i < array.size(); ++i)
		array[i - 1] = array[i];
	array.resize(array.size() - 1);
}

/** The bone matrix layout the skinning shaders read: rotation rows, then the translation in elements 12-14. */
void storeBoneMatrix(const math::Matrix3x4& B, math::Matrix4x4& out) {
	for (int r = 0; r < 3; ++r) {
		out.m[r][0] = B.m[r][0];
		out.m[r][1] = B.m[r][1];
		out.m[r][2] = B.m[r][2];
		out.m[r][3] = 0.f;
	}
	out.m[3][0] = B.m[0][3];
	out.m[3][1] = B.m[1][3];
	out.m[3][2] = B.m[2][3];
	out.m[3][3] = 0.f;
}

// Stands in for a bone number that the mesh does not have.
const math::Matrix4x4 s_missingBone = [] {
	math::Matrix4x4 m;
	storeBoneMatrix(math::Matrix3x4(), m);
	return m;
}();

} // namespace

Mesh::Mesh() {
	setClassId(NODE_MESH);
}

Mesh::Mesh(const Mesh& other)
	: Visual(other), m_primitives(other.m_primitives), m_lights(other.m_lights), m_bones(other.m_bones) {}

Mesh::~Mesh() {}

Visual* Mesh::clone() const {
	return new Mesh(*this);
}

void Mesh::addPrimitive(gr::Primitive* primitive) {
	m_primitives.add(lang::Ptr<gr::Primitive>(primitive));
}

void Mesh::removePrimitive(int index) {
	removeAt(m_primitives, index, "primitive");
}

void Mesh::removeAllPrimitives() {
	m_primitives.clear();
}

void Mesh::addLight(Light* light) {
	m_lights.add(lang::WeakPtr<Light>(light));
}

void Mesh::removeLight(int index) {
	removeAt(m_lights, index, "light");
}

void Mesh::removeAllLights() {
	m_lights.clear();
}

void Mesh::addBone(Node* node, const math::Matrix3x4& offset) {
	Bone bone;
	bone.offset = offset;
	bone.node = node;
	m_bones.add(bone);
}

void Mesh::removeBone(int index) {
	removeAt(m_bones, index, "bone");
}

void Mesh::getShaders(lang::Array<gr::Shader*>& out) {
	for (int i = 0; i < m_primitives.size(); ++i)
		out.add(m_primitives[i]->getShader());
}

void Mesh::computeBoundBox() {
	math::Vector3 boxMin(1e10f, 1e10f, 1e10f);
	math::Vector3 boxMax(-1e10f, -1e10f, -1e10f);
	float radius = 0.f;
	for (int i = 0; i < m_primitives.size(); ++i) {
		const gr::Primitive* p = m_primitives[i].ptr();
		if (p->getVertexFormat().getDataFormat(gr::VertexFormat::DT_BONEWEIGHTS) != gr::VertexFormat::NONE) {
			resetBoundBox();
			return;
		}
		const math::Vector3& pMin = p->getBoundsMin();
		const math::Vector3& pMax = p->getBoundsMax();
		boxMin = math::Vector3(std::min(boxMin.x, pMin.x), std::min(boxMin.y, pMin.y), std::min(boxMin.z, pMin.z));
		boxMax = math::Vector3(std::max(boxMax.x, pMax.x), std::max(boxMax.y, pMax.y), std::max(boxMax.z, pMax.z));
		radius = std::max(radius, p->getBoundingRadius());
	}
	if (boxMin.x > boxMax.x) {
		boxMin = math::Vector3();
		boxMax = math::Vector3();
	}
	setBoundBox(boxMin, boxMax);
	setBoundRadius(radius);
}

void Mesh::render(gr::Context*, Camera* camera, int priority) {
	const math::Matrix3x4 W = camera->getFrameWorldTransform(this);
	const math::Matrix3x4& K = camera->getCameraWorldTransform();
	const math::Matrix4x4 K4(K);
	const math::Matrix4x4 V4(camera->getCameraViewTransform());
	const math::Matrix4x4 W4(W);
	const math::Matrix4x4& viewProjection = camera->getViewProjection();

	// Computed once per call, for the first primitive drawn.
	bool prepared = false;
	math::Matrix4x4 total;
	Light* lights[MAX_LIGHTS];
	int lightCount = 0;
	lang::Array<math::Matrix4x4>& boneMatrices = camera->getBoneMatrices();
	lang::Array<const math::Matrix4x4*>& bonePointers = camera->getBonePointers();
	const int boneCount = m_bones.size();

	for (int i = 0; i < m_primitives.size(); ++i) {
		gr::Primitive* primitive = m_primitives[i].ptr();
		gr::Shader* s = primitive->getShader();
		if (!s || s->getPriority() != priority)
			continue;

		const int passes = s->begin();
		if (passes > 0) {
			try {
				if (!prepared) {
					prepared = true;
					total = viewProjection.multiply3x4(W);
					// The mesh's own lights that have not gone; without any, the
					// nearest lights of the tree.
					for (int k = 0; k < m_lights.size() && lightCount < MAX_LIGHTS; ++k)
						if (Light* light = m_lights[k].get())
							lights[lightCount++] = light;
					if (lightCount == 0) {
						if (LightSorter* sorter = camera->getCurrentLights()) {
							sorter->sortByDistance(W.getTranslation(), MAX_LIGHTS);
							lightCount = sorter->getResultCount();
							for (int k = 0; k < lightCount; ++k)
								lights[k] = sorter->getResult(k);
						}
					}
					if (boneCount > 0) {
						boneMatrices.resize(boneCount);
						for (int b = 0; b < boneCount; ++b) {
							const Bone& bone = m_bones[b];
							// A bone whose node has gone keeps the bind pose: bone
							// world x offset is then the mesh's own world transform.
							const Node* node = bone.node.get();
							if (node)
								storeBoneMatrix(camera->getFrameWorldTransform(node) * bone.offset, boneMatrices[b]);
							else
								storeBoneMatrix(W, boneMatrices[b]);
						}
					}
				}

				s->setVector(gr::Shader::PARAM_CAMERAP, math::Vector4(K.getTranslation(), 1.f));
				s->setMatrix(gr::Shader::PARAM_TOTALTM, total);
				s->setMatrix(gr::Shader::PARAM_VIEWTMINV, K4);
				s->setMatrix(gr::Shader::PARAM_VIEWPROJTM, viewProjection);
				for (int k = 0; k < lightCount; ++k) {
					const Light* light = lights[k];
					s->setVector(gr::Shader::ParamType(gr::Shader::PARAM_LIGHTP0 + k),
								 math::Vector4(camera->getFrameWorldTransform(light).getTranslation(), 1.f));
					s->setVector(gr::Shader::ParamType(gr::Shader::PARAM_LIGHTC0 + k),
								 math::Vector4(light->getColor(), 1.f));
				}
				if (boneCount > 0) {
					const int n = primitive->getUsedBoneCount();
					const uint8_t* used = primitive->getUsedBones();
					bonePointers.resize(n);
					for (int j = 0; j < n; ++j)
						bonePointers[j] = used[j] < boneCount ? &boneMatrices[used[j]] : &s_missingBone;
					s->setMatrixArray(gr::Shader::PARAM_BONEWORLDTM, bonePointers.begin(), n);
				}
				s->setMatrix(gr::Shader::PARAM_WORLDTM, W4);
				s->setMatrix(gr::Shader::PARAM_VIEWTM, V4);

				renderPasses(s, primitive, passes);
			} catch (...) {
				s->end();
				throw;
			}
		}
		s->end();
	}
}

} // namespace hgr

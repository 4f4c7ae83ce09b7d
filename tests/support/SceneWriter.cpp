#include "support/SceneWriter.h"

#include "support/BinaryWriter.h"
#include "support/TempDir.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace test {

namespace {

const char* const s_typeNames[SceneWriter::DATA_TYPE_COUNT] = {"DT_POSITION",	 "DT_POSITIONT", "DT_BONEWEIGHTS",
															   "DT_BONEINDICES", "DT_NORMAL",	 "DT_DIFFUSE",
															   "DT_SPECULAR",	 "DT_TEX0",		 "DT_TEX1",
															   "DT_TEX2",		 "DT_TEX3",		 "DT_TANGENT"};

const char* const s_formatNames[SceneWriter::DATA_FORMAT_COUNT] = {"NONE",	"S_32",	 "S_16",  "S_8",   "V2_32",
																   "V2_16", "V2_8",	 "V3_32", "V3_16", "V3_8",
																   "V4_32", "V4_16", "V4_8",  "V4_5"};

// Components and bytes per component of each format (V4_5 handled apart).
const int s_dims[SceneWriter::DATA_FORMAT_COUNT] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4};
const int s_componentBytes[SceneWriter::DATA_FORMAT_COUNT] = {0, 4, 2, 1, 4, 2, 1, 4, 2, 1, 4, 2, 1, 0};

int formatByName(const std::string& name) {
	for (int i = 0; i < SceneWriter::DATA_FORMAT_COUNT; ++i)
		if (name == s_formatNames[i])
			return i;
	return -1;
}

// Float to integer truncated toward zero, held within int32 so the cast is defined.
int32_t truncateToInt(float v) {
	if (!(v == v))
		return 0;
	if (v >= 2147483520.f)
		return INT32_MAX;
	if (v <= -2147483648.f)
		return INT32_MIN;
	return static_cast<int32_t>(v);
}

void putLE(std::vector<uint8_t>& out, uint32_t v, int bytes) {
	for (int i = 0; i < bytes; ++i)
		out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void writeMatrix(BinaryWriter& w, const SceneWriter::Matrix& m) {
	for (float v : m)
		w.float32(v);
}

uint16_t quantise(float v, float lo, float hi) {
	if (!(hi > lo))
		return 0;
	const double f = (double(v) - lo) / (double(hi) - lo) * 65535.0 + 0.5;
	return static_cast<uint16_t>(std::min(65535.0, std::max(0.0, f)));
}

// Keys of d components: plain floats for n <= 2, else minimum, maximum and 16-bit fractions.
void writeKeys(BinaryWriter& w, const std::vector<SceneWriter::Vec4>& keys, int d, bool quantised) {
	if (!quantised) {
		for (const auto& k : keys)
			for (int c = 0; c < d; ++c)
				w.float32(k[c]);
		return;
	}
	SceneWriter::Vec4 lo{0.f, 0.f, 0.f, 0.f}, hi{0.f, 0.f, 0.f, 0.f};
	for (int c = 0; c < d; ++c) {
		lo[c] = hi[c] = keys.empty() ? 0.f : keys[0][c];
		for (const auto& k : keys) {
			lo[c] = std::min(lo[c], k[c]);
			hi[c] = std::max(hi[c], k[c]);
		}
	}
	for (int c = 0; c < d; ++c)
		w.float32(lo[c]);
	for (int c = 0; c < d; ++c)
		w.float32(hi[c]);
	for (const auto& k : keys)
		for (int c = 0; c < d; ++c)
			w.uint16(quantise(k[c], lo[c], hi[c]));
}

// Rotation, translation and scale of a transform as still animation keys.
void decompose(const SceneWriter::Matrix& m, SceneWriter::Vec4& position, SceneWriter::Vec4& rotation,
			   SceneWriter::Vec4& scale) {
	position = {m[3], m[7], m[11], 0.f};
	float r[3][3];
	for (int c = 0; c < 3; ++c) {
		const float len = std::sqrt(m[c] * m[c] + m[4 + c] * m[4 + c] + m[8 + c] * m[8 + c]);
		scale[c] = len;
		for (int row = 0; row < 3; ++row)
			r[row][c] = len > 0.f ? m[4 * row + c] / len : (row == c ? 1.f : 0.f);
	}
	scale[3] = 0.f;
	const float trace = r[0][0] + r[1][1] + r[2][2];
	float x, y, z, w;
	if (trace > 0.f) {
		const float s = std::sqrt(trace + 1.f) * 2.f;
		w = 0.25f * s;
		x = (r[2][1] - r[1][2]) / s;
		y = (r[0][2] - r[2][0]) / s;
		z = (r[1][0] - r[0][1]) / s;
	} else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
		const float s = std::sqrt(1.f + r[0][0] - r[1][1] - r[2][2]) * 2.f;
		w = (r[2][1] - r[1][2]) / s;
		x = 0.25f * s;
		y = (r[0][1] + r[1][0]) / s;
		z = (r[0][2] + r[2][0]) / s;
	} else if (r[1][1] > r[2][2]) {
		const float s = std::sqrt(1.f + r[1][1] - r[0][0] - r[2][2]) * 2.f;
		w = (r[0][2] - r[2][0]) / s;
		x = (r[0][1] + r[1][0]) / s;
		y = 0.25f * s;
		z = (r[1][2] + r[2][1]) / s;
	} else {
		const float s = std::sqrt(1.f + r[2][2] - r[0][0] - r[1][1]) * 2.f;
		w = (r[1][0] - r[0][1]) / s;
		x = (r[0][2] + r[2][0]) / s;
		y = (r[1][2] + r[2][1]) / s;
		z = 0.25f * s;
	}
	rotation = {x, y, z, w};
}

} // namespace

// Matrices and format tables

SceneWriter::Matrix SceneWriter::identity() {
	return Matrix{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0};
}

SceneWriter::Matrix SceneWriter::translation(float x, float y, float z) {
	return Matrix{1, 0, 0, x, 0, 1, 0, y, 0, 0, 1, z};
}

SceneWriter::Matrix SceneWriter::rotationZ(float angle, float x, float y, float z) {
	const float c = std::cos(angle), s = std::sin(angle);
	return Matrix{c, -s, 0, x, s, c, 0, y, 0, 0, 1, z};
}

const char* SceneWriter::dataTypeName(int type) {
	return type >= 0 && type < DATA_TYPE_COUNT ? s_typeNames[type] : "";
}

const char* SceneWriter::dataFormatName(int format) {
	return format >= 0 && format < DATA_FORMAT_COUNT ? s_formatNames[format] : "";
}

int SceneWriter::dimension(int format) {
	return format > 0 && format < DATA_FORMAT_COUNT ? s_dims[format] : 0;
}

int SceneWriter::elementSize(int format) {
	if (format == V4_5)
		return 2;
	return format > 0 && format < DATA_FORMAT_COUNT ? s_dims[format] * s_componentBytes[format] : 0;
}

std::vector<uint8_t> SceneWriter::encode(int format, const std::vector<float>& values) {
	std::vector<uint8_t> out;
	const int d = dimension(format);
	if (d == 0)
		return out;
	for (size_t i = 0; i + d <= values.size(); i += d) {
		if (format == V4_5) {
			const int32_t x = truncateToInt(values[i]), y = truncateToInt(values[i + 1]);
			const int32_t z = truncateToInt(values[i + 2]), w = truncateToInt(values[i + 3]);
			const uint32_t word = (x & 31) | ((y << 5) & 0x3E0) | ((z << 10) & 0x7C00) | (w != 0 ? 0x8000 : 0);
			putLE(out, word, 2);
			continue;
		}
		for (int c = 0; c < d; ++c) {
			const float v = values[i + c];
			if (s_componentBytes[format] == 4) {
				uint32_t bits;
				std::memcpy(&bits, &v, 4);
				putLE(out, bits, 4);
			} else {
				putLE(out, static_cast<uint32_t>(truncateToInt(v)), s_componentBytes[format]);
			}
		}
	}
	return out;
}

// Material

SceneWriter::Material& SceneWriter::Material::texture(const std::string& param, int textureIndex) {
	m_textures.emplace_back(param, textureIndex);
	return *this;
}

SceneWriter::Material& SceneWriter::Material::vector(const std::string& param, float x, float y, float z, float w) {
	m_vectors.emplace_back(param, Vec4{x, y, z, w});
	return *this;
}

SceneWriter::Material& SceneWriter::Material::scalar(const std::string& param, float value) {
	m_floats.emplace_back(param, value);
	return *this;
}

// Primitive

SceneWriter::Primitive& SceneWriter::Primitive::type(int type) {
	m_type = static_cast<int16_t>(type);
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::material(int materialIndex) {
	m_material = static_cast<int16_t>(materialIndex);
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::component(int dataType, int dataFormat,
														  const std::vector<float>& values) {
	Component c;
	c.typeName = dataTypeName(dataType);
	c.formatName = dataFormatName(dataFormat);
	c.type = dataType;
	c.format = dataFormat;
	c.values = values;
	m_components.push_back(c);
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::componentNames(const std::string& typeName,
															   const std::string& formatName) {
	Component c;
	c.typeName = typeName;
	c.formatName = formatName;
	m_components.push_back(c);
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::indices(const std::vector<int>& indices) {
	m_indices = indices;
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::usedBones(const std::vector<uint8_t>& bones) {
	m_usedBones = bones;
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::positionScale(float scale, float bx, float by, float bz) {
	m_positionScale = {scale, bx, by, bz};
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::texCoordScale(float scale, float bu, float bv) {
	m_texCoordScale = {scale, bu, bv, 0.f};
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::vertexCountField(int32_t count) {
	m_vertexCountSet = true;
	m_vertexCount = count;
	return *this;
}

SceneWriter::Primitive& SceneWriter::Primitive::indexCountField(int32_t count) {
	m_indexCountSet = true;
	m_indexCount = count;
	return *this;
}

int SceneWriter::Primitive::vertexCount() const {
	for (const Component& c : m_components)
		if (dimension(c.format) > 0)
			return static_cast<int>(c.values.size()) / dimension(c.format);
	return 0;
}

// Node

SceneWriter::Node& SceneWriter::Node::transform(const Matrix& m) {
	m_transform = m;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::position(float x, float y, float z) {
	m_transform[3] = x;
	m_transform[7] = y;
	m_transform[11] = z;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::flags(int32_t flags) {
	m_flags = flags;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::id(int32_t id) {
	m_id = id;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::parent(const std::string& name) {
	m_parentName = name;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::parentIndex(int32_t index) {
	m_parentName.clear();
	m_parentIndex = index;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::primitives(const std::vector<int32_t>& indices) {
	m_primitives = indices;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::bone(const std::string& nodeName, const Matrix& rest) {
	m_bones.push_back(Bone{nodeName, -1, rest});
	return *this;
}

SceneWriter::Node& SceneWriter::Node::boneIndex(int32_t nodeIndex, const Matrix& rest) {
	m_bones.push_back(Bone{std::string(), nodeIndex, rest});
	return *this;
}

SceneWriter::Node& SceneWriter::Node::planes(float front, float back) {
	m_front = front;
	m_back = back;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::fov(float radians) {
	m_fov = radians;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::color(float r, float g, float b) {
	m_color = {r, g, b};
	return *this;
}

SceneWriter::Node& SceneWriter::Node::ranges(float nearRange, float farRange) {
	m_near = nearRange;
	m_far = farRange;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::cones(float inner, float outer) {
	m_inner = inner;
	m_outer = outer;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::lightType(int type) {
	m_lightType = type;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::box(const Vec3& a, const Vec3& b) {
	m_boxA = a;
	m_boxB = b;
	return *this;
}

SceneWriter::Node& SceneWriter::Node::line(const Vec3& start, const Vec3& end) {
	m_lines.emplace_back(start, end);
	return *this;
}

SceneWriter::Node& SceneWriter::Node::path(int32_t a, int32_t b) {
	m_paths.emplace_back(a, b);
	return *this;
}

SceneWriter::Node& SceneWriter::Node::lineCounts(int32_t lines, int32_t paths) {
	m_lineCountsSet = true;
	m_lineCount = lines;
	m_pathCount = paths;
	return *this;
}

// Animation

SceneWriter::Animation& SceneWriter::Animation::rates(int position, int rotation, int scale) {
	m_rates[0] = position;
	m_rates[1] = rotation;
	m_rates[2] = scale;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::endBehaviour(int behaviour) {
	m_end = behaviour;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::positionKeys(const std::vector<Vec3>& keys) {
	m_keys[POSITION].clear();
	for (const Vec3& k : keys)
		m_keys[POSITION].push_back(Vec4{k[0], k[1], k[2], 0.f});
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::rotationKeys(const std::vector<Vec4>& keys) {
	m_keys[ROTATION] = keys;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::scaleKeys(const std::vector<Vec3>& keys) {
	m_keys[SCALE].clear();
	for (const Vec3& k : keys)
		m_keys[SCALE].push_back(Vec4{k[0], k[1], k[2], 0.f});
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::timedPositions(const std::vector<Vec4>& keys) {
	m_timed[0] = keys;
	m_timedSet = true;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::timedScales(const std::vector<Vec4>& keys) {
	m_timed[1] = keys;
	m_timedSet = true;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::length(float length) {
	m_length = length;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::form(int form) {
	m_form = form;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::stored(Channel channel, const std::string& formatName, float scale,
													   const Vec4& bias) {
	m_stored[channel] = Stored{formatName, scale, bias};
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::keyCountField(Channel channel, int32_t count) {
	m_countSet[channel] = true;
	m_countField[channel] = count;
	return *this;
}

SceneWriter::Animation& SceneWriter::Animation::dimensionField(Channel channel, int32_t dimension) {
	m_dimensionSet[channel] = true;
	m_dimensionField[channel] = dimension;
	return *this;
}

// SceneWriter

SceneWriter::SceneWriter(int version) : m_version(version) {
	for (int i = 0; i < SECTION_COUNT; ++i)
		m_checkIds[i] = FIRST_CHECK_ID + i;
}

SceneWriter& SceneWriter::tag(const std::string& fourBytes) {
	m_tag = fourBytes;
	return *this;
}

SceneWriter& SceneWriter::platform(int16_t platform) {
	m_platform = platform;
	return *this;
}

SceneWriter& SceneWriter::exporterWord(int32_t word) {
	m_exporter = word;
	return *this;
}

SceneWriter& SceneWriter::headerFlags(int16_t flags) {
	m_headerFlags = flags;
	return *this;
}

SceneWriter& SceneWriter::fog(int mode, float start, float end, float r, float g, float b) {
	m_fogMode = static_cast<uint8_t>(mode);
	m_fog[0] = start;
	m_fog[1] = end;
	m_fog[2] = r;
	m_fog[3] = g;
	m_fog[4] = b;
	return *this;
}

SceneWriter& SceneWriter::checkId(Section s, int32_t id) {
	m_checkIds[s] = id;
	return *this;
}

SceneWriter& SceneWriter::countField(Section s, int32_t count) {
	m_countSet[s] = true;
	m_countField[s] = count;
	return *this;
}

SceneWriter& SceneWriter::materialCountField(int32_t count) {
	m_materialCountSet = true;
	m_materialCount = count;
	return *this;
}

int SceneWriter::texture(const std::string& name, int32_t type) {
	m_textures.emplace_back(name, type);
	return static_cast<int>(m_textures.size()) - 1;
}

SceneWriter::Material& SceneWriter::material(const std::string& name, const std::string& effect, int32_t variant) {
	m_materials.emplace_back();
	Material& m = m_materials.back();
	m.m_name = name;
	m.m_effect = effect;
	m.m_variant = variant;
	return m;
}

SceneWriter::Primitive& SceneWriter::primitive(int materialIndex) {
	m_primitives.emplace_back();
	return m_primitives.back().material(materialIndex);
}

SceneWriter::Node& SceneWriter::addNode(NodeKind kind, const std::string& name) {
	m_nodes.emplace_back();
	Node& n = m_nodes.back();
	n.m_kind = kind;
	n.m_name = name;
	return n;
}

SceneWriter::Node& SceneWriter::mesh(const std::string& name) {
	return addNode(MESH, name);
}
SceneWriter::Node& SceneWriter::camera(const std::string& name) {
	return addNode(CAMERA, name);
}
SceneWriter::Node& SceneWriter::light(const std::string& name) {
	return addNode(LIGHT, name);
}
SceneWriter::Node& SceneWriter::dummy(const std::string& name) {
	return addNode(DUMMY, name);
}
SceneWriter::Node& SceneWriter::lines(const std::string& name) {
	return addNode(LINE_SET, name);
}
SceneWriter::Node& SceneWriter::node(const std::string& name) {
	return addNode(PLAIN, name);
}

SceneWriter::Animation& SceneWriter::animation(const std::string& name) {
	m_animations.emplace_back();
	m_animations.back().m_name = name;
	return m_animations.back();
}

SceneWriter& SceneWriter::animationsForAllNodes() {
	m_animationsForAllNodes = true;
	return *this;
}

SceneWriter& SceneWriter::userProperty(const std::string& nodeName, const std::string& text) {
	m_userProperties.emplace_back(nodeName, text);
	return *this;
}

std::vector<const SceneWriter::Node*> SceneWriter::orderedNodes() const {
	std::vector<const Node*> out;
	for (int kind = 0; kind < NODE_KIND_COUNT; ++kind)
		for (const Node& n : m_nodes)
			if (n.m_kind == kind)
				out.push_back(&n);
	return out;
}

std::vector<std::string> SceneWriter::nodeOrder() const {
	std::vector<std::string> names;
	for (const Node* n : orderedNodes())
		names.push_back(n->m_name);
	return names;
}

int SceneWriter::nodeIndex(const std::string& name) const {
	const std::vector<std::string> names = nodeOrder();
	for (size_t i = 0; i < names.size(); ++i)
		if (names[i] == name)
			return static_cast<int>(i);
	return -1;
}

std::vector<uint8_t> SceneWriter::bytes() const {
	return build(nullptr);
}

std::array<size_t, SceneWriter::SECTION_COUNT> SceneWriter::sectionOffsets() const {
	std::array<size_t, SECTION_COUNT> offsets{};
	build(&offsets);
	return offsets;
}

bool SceneWriter::write(const std::string& path, size_t limit) const {
	std::vector<uint8_t> data = bytes();
	if (limit < data.size())
		data.resize(limit);
	BinaryWriter w;
	w.bytes(data.data(), data.size());
	return w.writeFile(path);
}

std::string SceneWriter::writeTemp(const std::string& fileName, size_t limit) const {
	const std::string path = tempPath(fileName);
	if (!write(path, limit))
		throw std::runtime_error("cannot write " + path);
	return path;
}

std::vector<uint8_t> SceneWriter::build(std::array<size_t, SECTION_COUNT>* offsets) const {
	const int v = m_version;
	const std::vector<const Node*> nodes = orderedNodes();
	auto resolve = [&](const std::string& name, int32_t fallback) -> int32_t {
		if (name.empty())
			return fallback;
		for (size_t i = 0; i < nodes.size(); ++i)
			if (nodes[i]->m_name == name)
				return static_cast<int32_t>(i);
		throw std::runtime_error("scene writer: no node named " + name);
	};
	auto count = [&](Section s, size_t real) { return m_countSet[s] ? m_countField[s] : static_cast<int32_t>(real); };

	BinaryWriter w;
	auto section = [&](Section s) {
		if (offsets)
			(*offsets)[s] = w.size();
		w.int32(m_checkIds[s]);
	};
	auto nodeRecord = [&](const Node& n) {
		w.utf(n.m_name);
		writeMatrix(w, n.m_transform);
		w.int32(n.m_flags);
		if (v > 190)
			w.int32(n.m_id);
		w.int32(resolve(n.m_parentName, n.m_parentIndex));
	};
	auto ofKind = [&](NodeKind kind) {
		std::vector<const Node*> out;
		for (const Node* n : nodes)
			if (n->m_kind == kind)
				out.push_back(n);
		return out;
	};

	// Header and fog
	w.bytes(m_tag.data(), m_tag.size());
	w.int16(static_cast<int16_t>(v));
	if (v > 190)
		w.int32(m_exporter);
	w.int16(m_headerFlags);
	if (v >= 180)
		w.int16(m_platform);
	w.byte(m_fogMode);
	for (float f : m_fog)
		w.float32(f);

	// Textures and materials
	section(TEXTURES);
	w.int32(count(TEXTURES, m_textures.size()));
	for (const auto& t : m_textures) {
		w.utf(t.first);
		w.int32(t.second);
	}
	w.int32(m_materialCountSet ? m_materialCount : static_cast<int32_t>(m_materials.size()));
	for (const Material& m : m_materials) {
		w.utf(m.m_name);
		w.utf(m.m_effect);
		w.int32(m.m_variant);
		w.byte(static_cast<uint8_t>(m.m_textures.size()));
		for (const auto& p : m.m_textures) {
			w.utf(p.first);
			w.int16(static_cast<int16_t>(p.second));
		}
		w.byte(static_cast<uint8_t>(m.m_vectors.size()));
		for (const auto& p : m.m_vectors) {
			w.utf(p.first);
			for (float f : p.second)
				w.float32(f);
		}
		w.byte(static_cast<uint8_t>(m.m_floats.size()));
		for (const auto& p : m.m_floats) {
			w.utf(p.first);
			w.float32(p.second);
		}
	}

	// Primitives
	section(PRIMITIVES);
	w.int32(count(PRIMITIVES, m_primitives.size()));
	for (const Primitive& p : m_primitives) {
		const int32_t vc = p.m_vertexCountSet ? p.m_vertexCount : p.vertexCount();
		const int32_t ic = p.m_indexCountSet ? p.m_indexCount : static_cast<int32_t>(p.m_indices.size());
		if (v > 189) {
			w.int32(vc);
			w.int32(ic);
		} else {
			w.uint16(static_cast<uint16_t>(vc));
			w.uint16(static_cast<uint16_t>(ic));
		}
		w.byte(static_cast<uint8_t>(p.m_components.size()));
		for (const auto& c : p.m_components) {
			w.utf(c.typeName);
			w.utf(c.formatName);
		}
		w.int16(p.m_material);
		w.int16(p.m_type);
		if (v > 189) {
			for (float f : p.m_positionScale)
				w.float32(f);
			for (float f : p.m_texCoordScale)
				w.float32(f);
		}
		// Vertex blocks go in data type order; a type listed twice keeps its last entry.
		for (int type = 0; type < DATA_TYPE_COUNT; ++type) {
			const Primitive::Component* last = nullptr;
			for (const auto& c : p.m_components)
				if (c.type == type)
					last = &c;
			if (!last || dimension(last->format) == 0)
				continue;
			if (v <= 189)
				for (int i = 0; i < 5; ++i)
					w.float32(0.f);
			const std::vector<uint8_t> data = encode(last->format, last->values);
			w.bytes(data.data(), data.size());
		}
		if (ic > 0) {
			std::vector<uint8_t> data;
			for (int i : p.m_indices)
				putLE(data, static_cast<uint32_t>(i), 2);
			w.bytes(data.data(), data.size());
		}
		w.byte(static_cast<uint8_t>(p.m_usedBones.size()));
		w.bytes(p.m_usedBones.data(), p.m_usedBones.size());
	}

	// Meshes
	section(MESHES);
	const std::vector<const Node*> meshes = ofKind(MESH);
	w.int32(count(MESHES, meshes.size()));
	for (const Node* n : meshes) {
		nodeRecord(*n);
		w.int32(static_cast<int32_t>(n->m_primitives.size()));
		for (int32_t i : n->m_primitives)
			w.int32(i);
		w.int32(static_cast<int32_t>(n->m_bones.size()));
		for (const auto& b : n->m_bones) {
			w.int32(resolve(b.name, b.index));
			writeMatrix(w, b.rest);
		}
	}

	// Cameras
	section(CAMERAS);
	const std::vector<const Node*> cameras = ofKind(CAMERA);
	w.int32(count(CAMERAS, cameras.size()));
	for (const Node* n : cameras) {
		nodeRecord(*n);
		w.float32(n->m_front);
		w.float32(n->m_back);
		w.float32(n->m_fov);
	}

	// Lights
	section(LIGHTS);
	const std::vector<const Node*> lights = ofKind(LIGHT);
	w.int32(count(LIGHTS, lights.size()));
	for (const Node* n : lights) {
		nodeRecord(*n);
		for (float f : n->m_color)
			w.float32(f);
		w.float32(0.f);
		w.float32(0.f);
		w.float32(n->m_near);
		w.float32(n->m_far);
		w.float32(n->m_inner);
		w.float32(n->m_outer);
		w.byte(static_cast<uint8_t>(n->m_lightType));
	}

	// Dummies
	section(DUMMIES);
	const std::vector<const Node*> dummies = ofKind(DUMMY);
	w.int32(count(DUMMIES, dummies.size()));
	for (const Node* n : dummies) {
		nodeRecord(*n);
		for (float f : n->m_boxA)
			w.float32(f);
		for (float f : n->m_boxB)
			w.float32(f);
	}

	// Line sets
	section(LINES);
	const std::vector<const Node*> lineSets = ofKind(LINE_SET);
	w.int32(count(LINES, lineSets.size()));
	for (const Node* n : lineSets) {
		nodeRecord(*n);
		w.int32(n->m_lineCountsSet ? n->m_lineCount : static_cast<int32_t>(n->m_lines.size()));
		w.int32(n->m_lineCountsSet ? n->m_pathCount : static_cast<int32_t>(n->m_paths.size()));
		for (const auto& l : n->m_lines) {
			for (float f : l.first)
				w.float32(f);
			for (float f : l.second)
				w.float32(f);
		}
		for (const auto& p : n->m_paths) {
			w.int32(p.first);
			w.int32(p.second);
		}
	}

	// Plain nodes
	section(NODES);
	const std::vector<const Node*> plain = ofKind(PLAIN);
	w.int32(count(NODES, plain.size()));
	for (const Node* n : plain)
		nodeRecord(*n);

	// Animations
	std::deque<Animation> stills;
	std::vector<const Animation*> animations;
	if (m_animationsForAllNodes) {
		for (const Node* n : nodes) {
			const Animation* given = nullptr;
			for (const Animation& a : m_animations)
				if (a.m_name == n->m_name)
					given = &a;
			if (!given) {
				stills.emplace_back();
				Animation& a = stills.back();
				a.m_name = n->m_name;
				Vec4 p, r, s;
				decompose(n->m_transform, p, r, s);
				a.m_keys[Animation::POSITION] = {p};
				a.m_keys[Animation::ROTATION] = {r};
				a.m_keys[Animation::SCALE] = {s};
				given = &a;
			}
			animations.push_back(given);
		}
	} else {
		for (const Animation& a : m_animations)
			animations.push_back(&a);
	}

	auto keyCount = [](const Animation& a, int ch, size_t real) {
		return a.m_countSet[ch] ? a.m_countField[ch] : static_cast<int32_t>(real);
	};
	auto sequence = [&](const Animation& a, int ch) {
		const std::vector<Vec4>& keys = a.m_keys[ch];
		const int d = ch == Animation::ROTATION ? 4 : 3;
		const int32_t n = keyCount(a, ch, keys.size());
		w.int32(n);
		if (v <= 191) {
			const Animation::Stored& st = a.m_stored[ch];
			const std::string name = !st.formatName.empty() ? st.formatName : (d == 4 ? "V4_32" : "V3_32");
			w.utf(name);
			w.float32(st.scale);
			for (float f : st.bias)
				w.float32(f);
			if (n > 0) {
				const int format = formatByName(name);
				const int fd = dimension(format);
				std::vector<float> values;
				for (const Vec4& k : keys)
					for (int c = 0; c < fd; ++c)
						values.push_back(st.scale != 0.f ? (k[c] - st.bias[c]) / st.scale : 0.f);
				const std::vector<uint8_t> data = encode(format, values);
				w.bytes(data.data(), data.size());
			}
			return;
		}
		w.int32(a.m_dimensionSet[ch] ? a.m_dimensionField[ch] : d);
		writeKeys(w, keys, d, n > 2);
	};
	auto channel = [&](const Animation& a, int which) {
		const std::vector<Vec4>& keys = a.m_timed[which];
		const int ch = which == 0 ? Animation::POSITION : Animation::SCALE;
		const int32_t n = keyCount(a, ch, keys.size());
		w.int32(n);
		writeKeys(w, keys, 4, n > 2);
	};

	section(ANIMATIONS);
	w.int32(count(ANIMATIONS, animations.size()));
	for (const Animation* a : animations) {
		w.utf(a->m_name);
		for (int r : a->m_rates)
			w.byte(static_cast<uint8_t>(r));
		w.byte(static_cast<uint8_t>(a->m_end));
		if (v <= 191) {
			sequence(*a, Animation::POSITION);
			sequence(*a, Animation::ROTATION);
			sequence(*a, Animation::SCALE);
			continue;
		}
		const int form = a->m_form >= 0 ? a->m_form : (a->m_timedSet ? 1 : 0);
		w.byte(static_cast<uint8_t>(form));
		if (form == 0) {
			sequence(*a, Animation::POSITION);
			sequence(*a, Animation::ROTATION);
			sequence(*a, Animation::SCALE);
		} else {
			channel(*a, 0);
			sequence(*a, Animation::ROTATION);
			channel(*a, 1);
			if (v > 192)
				w.float32(a->m_length);
		}
	}

	// User properties
	section(USER_PROPERTIES);
	w.int32(count(USER_PROPERTIES, m_userProperties.size()));
	for (const auto& p : m_userProperties) {
		w.utf(p.first);
		w.utf(p.second);
	}
	return w.data();
}

} // namespace test

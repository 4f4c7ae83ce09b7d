#ifndef SUPPORT_SCENEWRITER_H
#define SUPPORT_SCENEWRITER_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace test {

/**
 * Builds binary .hgr scene files in memory for tests: header, fog block and
 * the ten sections, for file versions 170 to 193. Every record can be written
 * as the reader expects it or deliberately wrong (check ids, counts, names,
 * indices), and the result can be cut at any byte.
 *
 *   SceneWriter w(193);
 *   w.fog(1, 10.f, 200.f, 0.5f, 0.6f, 0.7f);
 *   int wall = w.texture("wall.pvr");
 *   w.material("stone", "unlit-tex.fx").texture("BASEMAP", wall);
 *   w.primitive(0)
 *       .component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0,0,0, 1,0,0, 0,1,0})
 *       .indices({0, 1, 2});
 *   w.mesh("floor").primitives({0}).position(0, 0, 5);
 *   w.camera("cam").planes(1.f, 1000.f).fov(1.2f);
 *   w.userProperty("floor", "group=1");
 *   std::string path = w.writeTemp("level.hgr");
 *
 * Node records go into the file by kind (meshes, cameras, lights, dummies,
 * line sets, plain nodes), each kind in the order it was added; nodeOrder()
 * gives the resulting node list, whose positions are the file's node indices.
 * Parents and bones can be named and are resolved to those indices.
 */
class SceneWriter {
public:
	/** Vertex data types, numbered as the file's vertex blocks are ordered. */
	enum DataType {
		DT_POSITION,
		DT_POSITIONT,
		DT_BONEWEIGHTS,
		DT_BONEINDICES,
		DT_NORMAL,
		DT_DIFFUSE,
		DT_SPECULAR,
		DT_TEX0,
		DT_TEX1,
		DT_TEX2,
		DT_TEX3,
		DT_TANGENT,
		DATA_TYPE_COUNT
	};

	/** Element formats of vertex data and of keys in older files. */
	enum DataFormat {
		NONE,
		S_32,
		S_16,
		S_8,
		V2_32,
		V2_16,
		V2_8,
		V3_32,
		V3_16,
		V3_8,
		V4_32,
		V4_16,
		V4_8,
		V4_5,
		DATA_FORMAT_COUNT
	};

	enum Section {
		TEXTURES,
		PRIMITIVES,
		MESHES,
		CAMERAS,
		LIGHTS,
		DUMMIES,
		LINES,
		NODES,
		ANIMATIONS,
		USER_PROPERTIES,
		SECTION_COUNT
	};

	enum NodeKind { MESH, CAMERA, LIGHT, DUMMY, LINE_SET, PLAIN, NODE_KIND_COUNT };

	/** Check id of the first section; each following one is one greater. */
	static constexpr int32_t FIRST_CHECK_ID = 0x12345600;
	/** Newest version the writer knows (and the default). */
	static constexpr int LATEST_VERSION = 193;

	using Vec3 = std::array<float, 3>;
	using Vec4 = std::array<float, 4>;
	/** Three rows of four floats; the fourth column is the translation. */
	using Matrix = std::array<float, 12>;

	static Matrix identity();
	static Matrix translation(float x, float y, float z);
	/** A turn of angle radians about z, then a move to (x, y, z). */
	static Matrix rotationZ(float angle, float x = 0.f, float y = 0.f, float z = 0.f);

	static const char* dataTypeName(int type);
	static const char* dataFormatName(int format);
	/** Components and bytes of one element; 0 for NONE and unknown formats. */
	static int dimension(int format);
	static int elementSize(int format);
	/**
	 * Encodes values (dimension(format) floats per element) as the file stores
	 * them: floats as they are, integer components truncated toward zero and
	 * cut to their width, V4_5 packed; little-endian.
	 */
	static std::vector<uint8_t> encode(int format, const std::vector<float>& values);

	class Material {
	public:
		/** A texture parameter naming an entry of the texture list. */
		Material& texture(const std::string& param, int textureIndex);
		Material& vector(const std::string& param, float x, float y, float z, float w);
		Material& scalar(const std::string& param, float value);

	private:
		friend class SceneWriter;
		std::string m_name, m_effect;
		int32_t m_variant = 0;
		std::vector<std::pair<std::string, int>> m_textures;
		std::vector<std::pair<std::string, Vec4>> m_vectors;
		std::vector<std::pair<std::string, float>> m_floats;
	};

	class Primitive {
	public:
		/** A primitive type 0..6; 3 (triangle list) by default. */
		Primitive& type(int type);
		Primitive& material(int materialIndex);
		/**
		 * One vertex component, listed in the file's format in call order; its
		 * data goes into the file in data type order whatever the call order.
		 * The vertex count is the first component's element count.
		 */
		Primitive& component(int dataType, int dataFormat, const std::vector<float>& values);
		/** A component with names as written (possibly invalid) and no data. */
		Primitive& componentNames(const std::string& typeName, const std::string& formatName);
		Primitive& indices(const std::vector<int>& indices);
		Primitive& usedBones(const std::vector<uint8_t>& bones);
		/** (scale, bias x, y, z): a stored position p stands for p * scale + bias. Files above 189. */
		Primitive& positionScale(float scale, float bx = 0.f, float by = 0.f, float bz = 0.f);
		Primitive& texCoordScale(float scale, float bu = 0.f, float bv = 0.f);
		/** Counts written instead of the real ones (the data stays as given). */
		Primitive& vertexCountField(int32_t count);
		Primitive& indexCountField(int32_t count);

	private:
		friend class SceneWriter;
		struct Component {
			std::string typeName, formatName;
			int type = -1, format = NONE;
			std::vector<float> values;
		};
		int16_t m_material = 0;
		int16_t m_type = 3;
		std::vector<Component> m_components;
		std::vector<int> m_indices;
		std::vector<uint8_t> m_usedBones;
		Vec4 m_positionScale{1.f, 0.f, 0.f, 0.f};
		Vec4 m_texCoordScale{1.f, 0.f, 0.f, 0.f};
		bool m_vertexCountSet = false, m_indexCountSet = false;
		int32_t m_vertexCount = 0, m_indexCount = 0;

		int vertexCount() const;
	};

	/**
	 * A node record and what its kind adds. Setters of other kinds are
	 * ignored when the record is written.
	 */
	class Node {
	public:
		Node& transform(const Matrix& m);
		Node& position(float x, float y, float z);
		/** The flags word (enabled by default); its class bits are not read. */
		Node& flags(int32_t flags);
		/** Node id of files above 190. */
		Node& id(int32_t id);
		/** Parent by name, resolved to its node index when written. */
		Node& parent(const std::string& name);
		/** Parent index as written (negative: child of the scene). */
		Node& parentIndex(int32_t index);

		// Mesh
		Node& primitives(const std::vector<int32_t>& indices);
		Node& bone(const std::string& nodeName, const Matrix& rest = identity());
		Node& boneIndex(int32_t nodeIndex, const Matrix& rest = identity());
		// Camera
		Node& planes(float front, float back);
		Node& fov(float radians);
		// Light
		Node& color(float r, float g, float b);
		Node& ranges(float nearRange, float farRange);
		Node& cones(float inner, float outer);
		Node& lightType(int type);
		// Dummy
		Node& box(const Vec3& a, const Vec3& b);
		// Line set
		Node& line(const Vec3& start, const Vec3& end);
		Node& path(int32_t a, int32_t b);
		/** Counts written instead of the real ones. */
		Node& lineCounts(int32_t lines, int32_t paths);

		const std::string& name() const { return m_name; }
		NodeKind kind() const { return m_kind; }
		const Matrix& getTransform() const { return m_transform; }

	private:
		friend class SceneWriter;
		struct Bone {
			std::string name;
			int32_t index = -1;
			Matrix rest;
		};
		NodeKind m_kind = PLAIN;
		std::string m_name;
		Matrix m_transform = identity();
		int32_t m_flags = 1;
		int32_t m_id = 0;
		std::string m_parentName;
		int32_t m_parentIndex = -1;
		std::vector<int32_t> m_primitives;
		std::vector<Bone> m_bones;
		float m_front = 1.f, m_back = 1000.f, m_fov = 1.f;
		Vec3 m_color{1.f, 1.f, 1.f};
		float m_near = 0.f, m_far = 1000.f, m_inner = 0.f, m_outer = 1.f;
		int m_lightType = 2;
		Vec3 m_boxA{}, m_boxB{};
		std::vector<std::pair<Vec3, Vec3>> m_lines;
		std::vector<std::pair<int32_t, int32_t>> m_paths;
		bool m_lineCountsSet = false;
		int32_t m_lineCount = 0, m_pathCount = 0;
	};

	/**
	 * A transform animation. Files up to 191 store three keyframe sequences in
	 * a named data format; later files store three sequences with a dimension
	 * (form 0) or, when timed keys are given, a timed position channel, a
	 * rotation sequence and a timed scale channel (form 1; version 193 adds
	 * the length). More than two keys are written quantised to 16 bits.
	 */
	class Animation {
	public:
		enum Channel { POSITION, ROTATION, SCALE };

		/** Keys per time unit of position, rotation and scale (1, 1, 1 by default). */
		Animation& rates(int position, int rotation, int scale);
		/** 0 repeat, 1 oscillate, 2 reset, 3 stop (the default). */
		Animation& endBehaviour(int behaviour);
		Animation& positionKeys(const std::vector<Vec3>& keys);
		/** Quaternions (x, y, z, w). */
		Animation& rotationKeys(const std::vector<Vec4>& keys);
		Animation& scaleKeys(const std::vector<Vec3>& keys);
		/** Timed keys (x, y, z, time) of files above 191; select form 1. */
		Animation& timedPositions(const std::vector<Vec4>& keys);
		Animation& timedScales(const std::vector<Vec4>& keys);
		/** Length of form-1 animations in files of version 193. */
		Animation& length(float length);
		/** The form byte as written (files above 191). */
		Animation& form(int form);
		/**
		 * Data format, scale and bias of a sequence in files up to 191; keys
		 * are stored as (value - bias) / scale in that format.
		 */
		Animation& stored(Channel channel, const std::string& formatName, float scale = 1.f,
						  const Vec4& bias = Vec4{0.f, 0.f, 0.f, 0.f});
		/** Key count written instead of the real one (keys stay as given). */
		Animation& keyCountField(Channel channel, int32_t count);
		/** Dimension written for a sequence of files above 191. */
		Animation& dimensionField(Channel channel, int32_t dimension);

		const std::string& name() const { return m_name; }

	private:
		friend class SceneWriter;
		struct Stored {
			std::string formatName;
			float scale = 1.f;
			Vec4 bias{0.f, 0.f, 0.f, 0.f};
		};
		std::string m_name;
		int m_rates[3] = {1, 1, 1};
		int m_end = 3;
		std::vector<Vec4> m_keys[3];  // position, rotation, scale (w unused for 3D)
		std::vector<Vec4> m_timed[2]; // position, scale
		bool m_timedSet = false;
		float m_length = 0.f;
		int m_form = -1;
		Stored m_stored[3];
		bool m_countSet[3] = {false, false, false};
		int32_t m_countField[3] = {0, 0, 0};
		bool m_dimensionSet[3] = {false, false, false};
		int32_t m_dimensionField[3] = {0, 0, 0};
	};

	/** A file of version (170..193 are read; others are written as asked). */
	explicit SceneWriter(int version = LATEST_VERSION);

	int version() const { return m_version; }

	// Header and fog
	SceneWriter& tag(const std::string& fourBytes);
	SceneWriter& platform(int16_t platform);
	SceneWriter& exporterWord(int32_t word);
	SceneWriter& headerFlags(int16_t flags);
	SceneWriter& fog(int mode, float start, float end, float r, float g, float b);

	/** The check id written before section s. */
	SceneWriter& checkId(Section s, int32_t id);
	/**
	 * The record count written for section s instead of the real one (for
	 * TEXTURES the texture count); the records are written as given.
	 */
	SceneWriter& countField(Section s, int32_t count);
	SceneWriter& materialCountField(int32_t count);

	/** Adds a texture (type 0 2D, 1 cube, others as written); returns its index. */
	int texture(const std::string& name, int32_t type = 0);
	Material& material(const std::string& name, const std::string& effect, int32_t variant = 0);
	/** Adds a primitive of the material; its index is the count of primitives before it. */
	Primitive& primitive(int materialIndex = 0);
	/** Materials and primitives added so far (the index the next one gets). */
	int materialCount() const { return int(m_materials.size()); }
	int primitiveCount() const { return int(m_primitives.size()); }

	Node& mesh(const std::string& name);
	Node& camera(const std::string& name);
	Node& light(const std::string& name);
	Node& dummy(const std::string& name);
	Node& lines(const std::string& name);
	Node& node(const std::string& name);

	/** An animation written under name (normally a node's). */
	Animation& animation(const std::string& name);
	/**
	 * Writes one animation per node in node order: the one added under the
	 * node's name, else one still key at the node's transform.
	 */
	SceneWriter& animationsForAllNodes();

	SceneWriter& userProperty(const std::string& nodeName, const std::string& text);

	/** Node names in file order (the node indices of the file). */
	std::vector<std::string> nodeOrder() const;
	/** File node index of the named node; -1 when absent. */
	int nodeIndex(const std::string& name) const;

	/** The whole file. */
	std::vector<uint8_t> bytes() const;
	/** Byte offsets of the ten check ids in bytes(). */
	std::array<size_t, SECTION_COUNT> sectionOffsets() const;

	/** Writes the first limit bytes (all by default) to path; false when the file cannot be written. */
	bool write(const std::string& path, size_t limit = SIZE_MAX) const;
	/** Writes to test::tempPath(fileName) and returns that path. */
	std::string writeTemp(const std::string& fileName, size_t limit = SIZE_MAX) const;

private:
	int m_version;
	std::string m_tag = "hgrf";
	int16_t m_platform = 1;
	int32_t m_exporter = 133379;
	int16_t m_headerFlags = 0;
	uint8_t m_fogMode = 0;
	float m_fog[5] = {0.f, 1000.f, 1.f, 1.f, 1.f};
	int32_t m_checkIds[SECTION_COUNT];
	bool m_countSet[SECTION_COUNT] = {};
	int32_t m_countField[SECTION_COUNT] = {};
	bool m_materialCountSet = false;
	int32_t m_materialCount = 0;
	std::vector<std::pair<std::string, int32_t>> m_textures;
	std::deque<Material> m_materials;
	std::deque<Primitive> m_primitives;
	std::deque<Node> m_nodes; // in the order added
	std::deque<Animation> m_animations;
	bool m_animationsForAllNodes = false;
	std::vector<std::pair<std::string, std::string>> m_userProperties;

	Node& addNode(NodeKind kind, const std::string& name);
	std::vector<const Node*> orderedNodes() const;
	std::vector<uint8_t> build(std::array<size_t, SECTION_COUNT>* offsets) const;
};

} // namespace test

#endif

#ifndef GR_GLES2_PRIMITIVE_H
#define GR_GLES2_PRIMITIVE_H

#include <gr/DIPrimitive.h>
#include <gr/PolygonSortBuffer.h>
#include <gr/Shader.h>
#include <gr/gles2/GLES2_Dispatch.h>
#include <lang/Ptr.h>

namespace gr {

class GLES2_Context;

/**
 * Primitive drawn with OpenGL ES 2: the in-memory data of DIPrimitive plus
 * GL buffers mirroring it as floats, one buffer per vertex data type and a
 * 16-bit index buffer. Written data is uploaded by the next render.
 *
 * V4_8 colours (DT_DIFFUSE, DT_SPECULAR) are 0xAARRGGBB words, that is the
 * bytes blue, green, red, alpha; they are uploaded as red, green, blue,
 * alpha in 0..1 so that shaders see the colour that was written.
 */
class GLES2_Primitive : public DIPrimitive {
public:
	GLES2_Primitive(GLES2_Context* context, PrimitiveType type, const VertexFormat& format, int vertexCount,
					int indexCount);
	~GLES2_Primitive() override;

	void lock(int mode) override;

	/** Marks the data for upload when a lock that ends included the write bit. */
	void unlock() override;

	/** Every write marks the data for upload, locked or not. */
	void setVertexData(int dataType, int first, const void* data, int dataFormat, int count) override;
	void setIndexData(int first, const void* data, int indexSize, int count) override;
	void setIndices(int first, const int* data, int count) override;

	void setShader(Shader* shader) override;

	/**
	 * Draws the vertex or index range with the context's current pass;
	 * nothing outside a pass. Ranges are clipped to the uploaded data, and
	 * indexed data that names a vertex past the end is not drawn.
	 */
	void render() override;

	PrimitiveType getType() const override { return m_type; }
	Shader* getShader() const override { return m_shader; }

	/** True while written data waits for upload. */
	bool isDirty() const { return m_dirty; }

	/** Converts the data to floats and fills the GL buffers. */
	void upload();

	/** GL draw mode of a primitive type; GL_TRIANGLES for unknown types. */
	static GLenum drawMode(int type);

	/** Constant attribute value used for a data type the primitive lacks. */
	static const float* missingValue(int dataType);

	/** Floats per vertex uploaded for a data type. */
	static int componentCount(int dataType);

private:
	GLES2_Context* m_context;
	PrimitiveType m_type;
	lang::Ptr<Shader> m_shader;
	GLuint m_vertexBuffers[VertexFormat::DT_SIZE];
	int m_componentCounts[VertexFormat::DT_SIZE];
	GLuint m_indexBuffer;
	bool m_dirty;
	/** Lock nesting and the modes of the locks currently held. */
	int m_lockDepth;
	int m_lockModes;
	/** Vertices and indices in the GL buffers, and the largest index value. */
	int m_uploadedVertices;
	int m_uploadedIndices;
	int m_maxIndex;
	bool m_warnedIndices;
	PolygonSortBuffer m_sortScratch;

	void sortTriangles();

	GLES2_Primitive(const GLES2_Primitive&) = delete;
	GLES2_Primitive& operator=(const GLES2_Primitive&) = delete;
};

} // gr

#endif

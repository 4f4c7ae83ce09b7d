#ifndef HGR_LINES_H
#define HGR_LINES_H

#include <hgr/Visual.h>
#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <lang/Array.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Matrix3x4.h>
#include <math/Vector3.h>
#include <math/Vector4.h>

namespace hgr {

/**
 * Visual of coloured line segments kept in memory and drawn as one line list
 * with one shader. Also keeps the paths (pairs of ints) read from scene
 * files, which drawing does not use. Its radius stays 1e10: never culled.
 */
class Lines : public Visual {
public:
	struct Line {
		math::Vector3 start;
		math::Vector3 end;
		math::Vector4 startColor;
		math::Vector4 endColor;
	};

	struct Path {
		int a = 0;
		int b = 0;
	};

	/**
	 * Class id 6, no lines. Without a context, or on a software-renderer
	 * context, the node is disabled and has no shader; otherwise the shader is
	 * the context's instance of shaderName.
	 */
	Lines(gr::Context* context, const lang::String& shaderName);
	/** Same shader, copies of lines and paths, same maxLines. */
	Lines(const Lines& other);
	~Lines() override;
	Visual* clone() const override;

	/** Makes room, sets maxLines to lineCount and empties both lists. */
	void reserve(int lineCount, int pathCount);

	/** Appends a segment in one colour (r, g, b, a from 0 to 1); returns the new record. */
	Line& addLine(const math::Vector3& start, const math::Vector3& end, const math::Vector4& color);
	Line& addLine(const math::Vector3& start, const math::Vector3& end, const math::Vector4& startColor,
				  const math::Vector4& endColor);
	void addPath(int a, int b);
	/** Removes all lines and paths; maxLines stays. */
	void clear();
	/** Appends the 12 edges of the box min..max, each corner transformed. */
	void addBox(const math::Matrix3x4& transform, const math::Vector3& boxMin, const math::Vector3& boxMax,
				const math::Vector4& color);

	int getLineCount() const { return m_lines.size(); }
	int getPathCount() const { return m_paths.size(); }
	const Line& getLine(int index) const { return m_lines[index]; }
	Line& getLine(int index) { return m_lines[index]; }
	const lang::Array<Line>& getLines() const { return m_lines; }
	const Path& getPath(int index) const { return m_paths[index]; }
	int getMaxLines() const { return m_maxLines; }
	gr::Shader* getShader() const { return m_shader.ptr(); }

	void render(gr::Context* context, Camera* camera, int priority) override;
	void getShaders(lang::Array<gr::Shader*>& out) override;
	/** Local box of all end points (min 1e10 and max -1e10 without lines); the radius is left alone. */
	void computeBoundBox() override;

	/** The colour as stored in the vertex data: 0..255 per channel, in the context's channel order. */
	static math::Vector4 toVertexColor(const math::Vector4& color);

private:
	lang::Ptr<gr::Shader> m_shader;
	lang::Array<Line> m_lines;
	lang::Array<Path> m_paths;
	int m_maxLines;

	// The drawing primitive is kept between frames and made again only when
	// maxLines outgrows it or another context draws, so a steady frame
	// allocates nothing.
	lang::Ptr<gr::Primitive> m_primitive;
	gr::Context* m_primitiveContext;

	Lines& operator=(const Lines&) = delete;
};

} // namespace hgr

#endif

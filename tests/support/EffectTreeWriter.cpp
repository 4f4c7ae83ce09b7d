#include "support/EffectTreeWriter.h"

#include "support/Files.h"

#include <gtest/gtest.h>

namespace test {

const char* const EffectTreeWriter::TEXTURED_VERTEX =
	"attribute highp vec3 DT_POSITION;\n"
	"attribute mediump vec2 DT_TEX0;\n"
	"uniform highp mat4 TOTALTM;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"void main() {\n"
	"  gl_Position = TOTALTM * vec4(DT_POSITION, 1.0);\n"
	"  V_TexCoord0 = DT_TEX0;\n"
	"}\n";

const char* const EffectTreeWriter::TEXTURED_FRAGMENT =
	"uniform lowp sampler2D BASEMAP;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(BASEMAP, V_TexCoord0);\n"
	"}\n";

const char* const EffectTreeWriter::COLOR_FRAGMENT =
	"uniform lowp vec4 DIFFUSEC;\n"
	"void main() {\n"
	"  gl_FragColor = DIFFUSEC;\n"
	"}\n";

const char* const EffectTreeWriter::VERTEX_COLOR_VERTEX =
	"attribute highp vec3 DT_POSITION;\n"
	"attribute lowp vec4 DT_DIFFUSE;\n"
	"uniform highp mat4 TOTALTM;\n"
	"varying lowp vec4 V_Color;\n"
	"void main() {\n"
	"  gl_Position = TOTALTM * vec4(DT_POSITION, 1.0);\n"
	"  V_Color = DT_DIFFUSE;\n"
	"}\n";

const char* const EffectTreeWriter::VERTEX_COLOR_FRAGMENT =
	"varying lowp vec4 V_Color;\n"
	"void main() {\n"
	"  gl_FragColor = V_Color;\n"
	"}\n";

const char* const EffectTreeWriter::PARTICLE_VERTEX =
	"attribute highp vec3 DT_POSITION;\n"
	"attribute lowp vec4 DT_DIFFUSE;\n"
	"attribute mediump vec2 DT_TEX0;\n"
	"varying lowp vec4 V_Color;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"void main() {\n"
	"  gl_Position = vec4(DT_POSITION, 1.0);\n"
	"  V_Color = DT_DIFFUSE;\n"
	"  V_TexCoord0 = DT_TEX0;\n"
	"}\n";

const char* const EffectTreeWriter::PARTICLE_FRAGMENT =
	"uniform lowp sampler2D BASEMAP;\n"
	"varying lowp vec4 V_Color;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"void main() {\n"
	"  gl_FragColor = texture2D(BASEMAP, V_TexCoord0) * V_Color;\n"
	"}\n";

const char* const EffectTreeWriter::EXTENSION_FRAGMENT =
	"#extension GL_OES_standard_derivatives : enable\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"void main() {\n"
	"  mediump float d = abs(dFdx(V_TexCoord0.x)) + abs(dFdy(V_TexCoord0.y));\n"
	"  gl_FragColor = vec4(1.0, 1.0, 1.0, 1.0) + vec4(d * 0.0);\n"
	"}\n";

const char* const EffectTreeWriter::BROKEN_STAGE =
	"void main() {\n"
	"  gl_FragColor = undefined_value +;\n"
	"}\n";

EffectTreeWriter::EffectTreeWriter() : m_dir(m_root.path() + "/") {}

std::string EffectTreeWriter::path(const std::string& name) const {
	return m_dir + name;
}

std::string EffectTreeWriter::write(const std::string& name, const std::string& text) {
	const std::string full = path(name);
	if (!writeFile(full, text))
		ADD_FAILURE() << "cannot write " << full;
	return full;
}

std::string EffectTreeWriter::writeCrlf(const std::string& name, const std::string& text) {
	std::string crlf;
	for (char c : text) {
		if (c == '\n')
			crlf += '\r';
		crlf += c;
	}
	return write(name, crlf);
}

std::string EffectTreeWriter::writeEffect(const std::string& name, const std::string& vertexStage,
										  const std::string& fragmentStage, const std::string& extra,
										  const std::string& header, const std::string& technique) {
	return write(name, effectText(vertexStage, fragmentStage, extra, header, technique));
}

std::string EffectTreeWriter::writeTexturedEffect(const std::string& name, const std::string& extra) {
	write("textured.vsh", TEXTURED_VERTEX);
	write("textured.fsh", TEXTURED_FRAGMENT);
	return writeEffect(name, "textured.vsh", "textured.fsh", extra);
}

std::string EffectTreeWriter::effectText(const std::string& vertexStage, const std::string& fragmentStage,
										 const std::string& extra, const std::string& header,
										 const std::string& technique) {
	std::string text = header;
	text += "technique " + technique + "\n{\n\tpass P0\n\t{\n";
	if (!vertexStage.empty())
		text += "\t\tVertexShader = " + vertexStage + ";\n";
	if (!fragmentStage.empty())
		text += "\t\tPixelShader = " + fragmentStage + ";\n";
	text += extra;
	text += "\t}\n}\n";
	return text;
}

std::string EffectTreeWriter::chainName(const std::string& name, int i) {
	const size_t dot = name.find_last_of('.');
	if (dot == std::string::npos || name.find('/', dot) != std::string::npos)
		return name + std::to_string(i);
	return name.substr(0, dot) + std::to_string(i) + name.substr(dot);
}

std::string EffectTreeWriter::writeIncludeChain(const std::string& name, int count) {
	for (int i = 0; i < count; ++i) {
		std::string text;
		if (i + 1 < count) {
			const std::string next = chainName(name, i + 1);
			const size_t slash = next.find_last_of('/');
			const std::string local = slash == std::string::npos ? next : next.substr(slash + 1);
			text = "begin " + std::to_string(i) + "\n#include \"" + local + "\"\nend " + std::to_string(i) + "\n";
		} else {
			text = "leaf\n";
		}
		write(chainName(name, i), text);
	}
	return path(chainName(name, 0));
}

std::string EffectTreeWriter::writeSelfInclude(const std::string& name) {
	const size_t slash = name.find_last_of('/');
	const std::string local = slash == std::string::npos ? name : name.substr(slash + 1);
	return write(name, "before\n#include \"" + local + "\"\nafter\n");
}

} // namespace test

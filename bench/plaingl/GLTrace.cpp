#include "GLTrace.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <type_traits>
#include <utility>

namespace bench {

namespace {

#define TRACE_ENUM(name) Fn_##name,
enum Function { GR_GLES2_FUNCTIONS(TRACE_ENUM) FunctionCount };
#undef TRACE_ENUM

GLTrace* g_trace = nullptr;
gr::GLES2_Dispatch g_next; // where the recording wrappers forward to

template <class T>
std::int64_t slot(T value) {
	if constexpr (std::is_floating_point<T>::value) {
		const double d = value;
		std::int64_t bits;
		std::memcpy(&bits, &d, sizeof bits);
		return bits;
	} else if constexpr (std::is_pointer<T>::value) {
		return std::int64_t(reinterpret_cast<std::uintptr_t>(value));
	} else {
		return std::int64_t(value);
	}
}

template <class T>
T unslot(std::int64_t bits) {
	if constexpr (std::is_floating_point<T>::value) {
		double d;
		std::memcpy(&d, &bits, sizeof d);
		return T(d);
	} else if constexpr (std::is_pointer<T>::value) {
		return reinterpret_cast<T>(std::uintptr_t(bits));
	} else {
		return T(bits);
	}
}

template <class F>
struct Replayer;
template <class R, class... A>
struct Replayer<R (*)(A...)> {
	template <size_t... I>
	static void call(R (*f)(A...), const std::int64_t* s, std::index_sequence<I...>) {
		f(unslot<A>(s[I])...);
	}
	static void run(R (*f)(A...), const std::int64_t* s) { call(f, s, std::index_sequence_for<A...>{}); }
};

template <class... A>
GLTrace::Call makeCall(Function f, A... a) {
	GLTrace::Call c;
	c.function = std::uint16_t(f);
	c.argCount = std::uint8_t(sizeof...(a));
	int i = 0;
	((c.args[i++] = slot(a)), ...);
	return c;
}

// What the recording needs to know of the GL state to copy client-side
// arrays: the bound buffers, the enabled attributes and their client
// pointers, and the contents of index buffers.
struct ClientArray {
	GLint size;
	GLenum type;
	GLboolean normalized;
	GLsizei stride;
	const void* pointer;
};
GLuint g_arrayBuffer = 0, g_elementBuffer = 0;
std::map<GLuint, ClientArray> g_clientArrays;
std::map<GLuint, bool> g_enabled;
std::map<GLuint, std::vector<std::uint8_t>> g_indexBuffers;

size_t typeSize(GLenum type) {
	switch (type) {
	case GL_BYTE:
	case GL_UNSIGNED_BYTE:
		return 1;
	case GL_SHORT:
	case GL_UNSIGNED_SHORT:
		return 2;
	default:
		return 4;
	}
}

size_t pixelBytes(GLenum format, GLenum type) {
	if (type == GL_UNSIGNED_SHORT_5_6_5 || type == GL_UNSIGNED_SHORT_4_4_4_4 || type == GL_UNSIGNED_SHORT_5_5_5_1)
		return 2;
	switch (format) {
	case GL_RGBA:
		return 4;
	case GL_RGB:
		return 3;
	case GL_LUMINANCE_ALPHA:
		return 2;
	default:
		return 1;
	}
}

GLint g_unpackAlignment = 4;

size_t imageBytes(GLsizei w, GLsizei h, GLenum format, GLenum type) {
	if (w <= 0 || h <= 0)
		return 0;
	const size_t row = size_t(w) * pixelBytes(format, type);
	const size_t a = size_t(g_unpackAlignment);
	return (row + a - 1) / a * a * size_t(h - 1) + row;
}

// The highest index a draw reads, from client memory or the bound index buffer.
size_t highestIndex(GLsizei count, GLenum type, const void* indices) {
	const std::uint8_t* base = static_cast<const std::uint8_t*>(indices);
	if (g_elementBuffer != 0) {
		const std::vector<std::uint8_t>& b = g_indexBuffers[g_elementBuffer];
		const size_t offset = reinterpret_cast<std::uintptr_t>(indices);
		base = offset < b.size() ? b.data() + offset : nullptr;
	}
	size_t most = 0;
	for (GLsizei i = 0; base && i < count; ++i) {
		size_t v = type == GL_UNSIGNED_BYTE	   ? base[i]
				   : type == GL_UNSIGNED_SHORT ? reinterpret_cast<const std::uint16_t*>(base)[i]
											   : reinterpret_cast<const std::uint32_t*>(base)[i];
		most = v > most ? v : most;
	}
	return most;
}

// Copies the enabled client-side arrays for a draw of vertices 0 to vertices-1.
void recordClientArrays(size_t vertices) {
	for (const auto& entry : g_clientArrays) {
		if (!g_enabled[entry.first] || vertices == 0)
			continue;
		const ClientArray& a = entry.second;
		const size_t element = size_t(a.size) * typeSize(a.type);
		const size_t stride = a.stride ? size_t(a.stride) : element;
		g_trace->record(makeCall(Fn_VertexAttribPointer, entry.first, a.size, a.type, a.normalized, a.stride,
								 static_cast<const void*>(nullptr)),
						a.pointer, stride * (vertices - 1) + element);
	}
}

} // namespace

void GLTrace::record(const Call& call, const void* data, std::size_t bytes) {
	calls.push_back(call);
	if (data && bytes) {
		calls.back().data = std::uint32_t(blob.size());
		calls.back().bytes = std::uint32_t(bytes);
		const std::uint8_t* p = static_cast<const std::uint8_t*>(data);
		blob.insert(blob.end(), p, p + bytes);
	}
}

// Every function is recorded with its arguments; those that pass pointers
// get wrappers of their own below, and queries are not recorded at all.
#define TRACE_GENERIC(name) \
	gr::gl.name = [](auto... a) { \
		g_trace->record(makeCall(Fn_##name, a...)); \
		return g_next.name(a...); \
	};
#define TRACE_QUERY(name) gr::gl.name = g_next.name;
#define TRACE_GEN(name) \
	gr::gl.name = [](GLsizei n, GLuint* names) { \
		g_next.name(n, names); \
		g_trace->record(makeCall(Fn_##name, n, static_cast<void*>(nullptr)), names, sizeof(GLuint) * size_t(n)); \
	};
#define TRACE_DELETE(name) \
	gr::gl.name = [](GLsizei n, const GLuint* names) { \
		g_trace->record(makeCall(Fn_##name, n, static_cast<void*>(nullptr)), names, sizeof(GLuint) * size_t(n)); \
		g_next.name(n, names); \
	};
#define TRACE_UNIFORM(name, floats) \
	gr::gl.name = [](GLint location, GLsizei count, const GLfloat* v) { \
		g_trace->record(makeCall(Fn_##name, location, count, static_cast<void*>(nullptr)), v, \
						sizeof(GLfloat) * floats * size_t(count)); \
		g_next.name(location, count, v); \
	};
#define TRACE_MATRIX(name, floats) \
	gr::gl.name = [](GLint location, GLsizei count, GLboolean transpose, const GLfloat* v) { \
		g_trace->record(makeCall(Fn_##name, location, count, transpose, static_cast<void*>(nullptr)), v, \
						sizeof(GLfloat) * floats * size_t(count)); \
		g_next.name(location, count, transpose, v); \
	};

void GLTrace::start() {
	saved = gr::gl;
	g_next = gr::gl;
	g_trace = this;
	GR_GLES2_FUNCTIONS(TRACE_GENERIC)
	TRACE_QUERY(GetActiveUniform)
	TRACE_QUERY(GetAttribLocation)
	TRACE_QUERY(GetBooleanv)
	TRACE_QUERY(GetError)
	TRACE_QUERY(GetIntegerv)
	TRACE_QUERY(GetProgramInfoLog)
	TRACE_QUERY(GetProgramiv)
	TRACE_QUERY(GetShaderInfoLog)
	TRACE_QUERY(GetShaderiv)
	TRACE_QUERY(GetString)
	TRACE_QUERY(GetUniformLocation)
	TRACE_QUERY(IsEnabled)
	TRACE_QUERY(CheckFramebufferStatus)
	TRACE_QUERY(ReadPixels)
	TRACE_GEN(GenBuffers)
	TRACE_GEN(GenFramebuffers)
	TRACE_GEN(GenRenderbuffers)
	TRACE_GEN(GenTextures)
	TRACE_DELETE(DeleteFramebuffers)
	TRACE_DELETE(DeleteRenderbuffers)
	TRACE_DELETE(DeleteTextures)
	TRACE_UNIFORM(Uniform1fv, 1)
	TRACE_UNIFORM(Uniform2fv, 2)
	TRACE_UNIFORM(Uniform3fv, 3)
	TRACE_UNIFORM(Uniform4fv, 4)
	TRACE_MATRIX(UniformMatrix3fv, 9)
	TRACE_MATRIX(UniformMatrix4fv, 16)
	gr::gl.DeleteBuffers = [](GLsizei n, const GLuint* names) {
		g_trace->record(makeCall(Fn_DeleteBuffers, n, static_cast<void*>(nullptr)), names, sizeof(GLuint) * size_t(n));
		for (GLsizei i = 0; i < n; ++i) {
			g_arrayBuffer = g_arrayBuffer == names[i] ? 0 : g_arrayBuffer;
			g_elementBuffer = g_elementBuffer == names[i] ? 0 : g_elementBuffer;
			g_indexBuffers.erase(names[i]);
		}
		g_next.DeleteBuffers(n, names);
	};
	gr::gl.CreateShader = [](GLenum type) {
		const GLuint name = g_next.CreateShader(type);
		g_trace->record(makeCall(Fn_CreateShader, type, name));
		return name;
	};
	gr::gl.CreateProgram = []() {
		const GLuint name = g_next.CreateProgram();
		g_trace->record(makeCall(Fn_CreateProgram, name));
		return name;
	};
	gr::gl.ShaderSource = [](GLuint shader, GLsizei count, const GLchar* const* strings, const GLint* lengths) {
		std::string text;
		for (GLsizei i = 0; i < count; ++i)
			text += lengths && lengths[i] >= 0 ? std::string(strings[i], size_t(lengths[i])) : std::string(strings[i]);
		g_trace->record(makeCall(Fn_ShaderSource, shader), text.data(), text.size());
		g_next.ShaderSource(shader, count, strings, lengths);
	};
	gr::gl.BindAttribLocation = [](GLuint program, GLuint index, const GLchar* name) {
		g_trace->record(makeCall(Fn_BindAttribLocation, program, index), name, std::strlen(name) + 1);
		g_next.BindAttribLocation(program, index, name);
	};
	gr::gl.BindBuffer = [](GLenum target, GLuint buffer) {
		(target == GL_ARRAY_BUFFER ? g_arrayBuffer : g_elementBuffer) = buffer;
		g_trace->record(makeCall(Fn_BindBuffer, target, buffer));
		g_next.BindBuffer(target, buffer);
	};
	gr::gl.BufferData = [](GLenum target, GLsizeiptr size, const void* data, GLenum usage) {
		g_trace->record(makeCall(Fn_BufferData, target, size, static_cast<void*>(nullptr), usage), data, size_t(size));
		if (target == GL_ELEMENT_ARRAY_BUFFER) {
			std::vector<std::uint8_t>& b = g_indexBuffers[g_elementBuffer];
			b.assign(size_t(size), 0);
			if (data)
				std::memcpy(b.data(), data, size_t(size));
		}
		g_next.BufferData(target, size, data, usage);
	};
	gr::gl.BufferSubData = [](GLenum target, GLintptr offset, GLsizeiptr size, const void* data) {
		g_trace->record(makeCall(Fn_BufferSubData, target, offset, size, static_cast<void*>(nullptr)), data,
						size_t(size));
		if (target == GL_ELEMENT_ARRAY_BUFFER) {
			std::vector<std::uint8_t>& b = g_indexBuffers[g_elementBuffer];
			if (size_t(offset + size) <= b.size())
				std::memcpy(b.data() + offset, data, size_t(size));
		}
		g_next.BufferSubData(target, offset, size, data);
	};
	gr::gl.PixelStorei = [](GLenum name, GLint value) {
		if (name == GL_UNPACK_ALIGNMENT)
			g_unpackAlignment = value;
		g_trace->record(makeCall(Fn_PixelStorei, name, value));
		g_next.PixelStorei(name, value);
	};
	gr::gl.TexImage2D = [](GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border,
						   GLenum format, GLenum type, const void* pixels) {
		g_trace->record(makeCall(Fn_TexImage2D, target, level, internal, w, h, border, format, type,
								 static_cast<void*>(nullptr)),
						pixels, imageBytes(w, h, format, type));
		g_next.TexImage2D(target, level, internal, w, h, border, format, type, pixels);
	};
	gr::gl.TexSubImage2D = [](GLenum target, GLint level, GLint x, GLint y, GLsizei w, GLsizei h, GLenum format,
							  GLenum type, const void* pixels) {
		g_trace->record(makeCall(Fn_TexSubImage2D, target, level, x, y, w, h, format, type,
								 static_cast<void*>(nullptr)),
						pixels, imageBytes(w, h, format, type));
		g_next.TexSubImage2D(target, level, x, y, w, h, format, type, pixels);
	};
	gr::gl.VertexAttrib4fv = [](GLuint index, const GLfloat* v) {
		g_trace->record(makeCall(Fn_VertexAttrib4fv, index, static_cast<void*>(nullptr)), v, 4 * sizeof(GLfloat));
		g_next.VertexAttrib4fv(index, v);
	};
	gr::gl.EnableVertexAttribArray = [](GLuint index) {
		g_enabled[index] = true;
		g_trace->record(makeCall(Fn_EnableVertexAttribArray, index));
		g_next.EnableVertexAttribArray(index);
	};
	gr::gl.DisableVertexAttribArray = [](GLuint index) {
		g_enabled[index] = false;
		g_trace->record(makeCall(Fn_DisableVertexAttribArray, index));
		g_next.DisableVertexAttribArray(index);
	};
	// A client-side array is copied at each draw that reads it, as far as the draw reads.
	gr::gl.VertexAttribPointer = [](GLuint index, GLint size, GLenum type, GLboolean normalized, GLsizei stride,
									const void* pointer) {
		if (g_arrayBuffer == 0) {
			g_clientArrays[index] = ClientArray{size, type, normalized, stride, pointer};
		} else {
			g_clientArrays.erase(index);
			g_trace->record(makeCall(Fn_VertexAttribPointer, index, size, type, normalized, stride, pointer));
		}
		g_next.VertexAttribPointer(index, size, type, normalized, stride, pointer);
	};
	gr::gl.DrawArrays = [](GLenum mode, GLint first, GLsizei count) {
		recordClientArrays(size_t(first) + size_t(count));
		g_trace->record(makeCall(Fn_DrawArrays, mode, first, count));
		g_next.DrawArrays(mode, first, count);
	};
	gr::gl.DrawElements = [](GLenum mode, GLsizei count, GLenum type, const void* indices) {
		if (!g_clientArrays.empty())
			recordClientArrays(highestIndex(count, type, indices) + 1);
		if (g_elementBuffer == 0)
			g_trace->record(makeCall(Fn_DrawElements, mode, count, type, static_cast<void*>(nullptr)), indices,
							size_t(count) * typeSize(type));
		else
			g_trace->record(makeCall(Fn_DrawElements, mode, count, type, indices));
		g_next.DrawElements(mode, count, type, indices);
	};
}

#undef TRACE_GENERIC
#undef TRACE_QUERY
#undef TRACE_GEN
#undef TRACE_DELETE
#undef TRACE_UNIFORM
#undef TRACE_MATRIX

void GLTrace::markFrame() {
	frameStarts.push_back(std::uint32_t(calls.size()));
}

void GLTrace::stop() {
	gr::gl = saved;
	g_trace = nullptr;
}

bool GLTrace::replaySetup(std::string* error) const {
	std::string message;
	replay(0, frameStarts.empty() ? calls.size() : frameStarts[0], &message);
	if (error)
		*error = message;
	return message.empty();
}

void GLTrace::replayFrame(int i) const {
	const size_t from = frameStarts[size_t(i)];
	const size_t to = size_t(i) + 1 < frameStarts.size() ? frameStarts[size_t(i) + 1] : calls.size();
	replay(from, to, nullptr);
}

// The calls without pointers: each through the GL library's own function.
using ReplayFunction = void (*)(const std::int64_t*);
#define TRACE_REPLAY(name) [](const std::int64_t* a) { Replayer<decltype(&::gl##name)>::run(&::gl##name, a); },
const ReplayFunction kReplay[] = {GR_GLES2_FUNCTIONS(TRACE_REPLAY)};
#undef TRACE_REPLAY

void GLTrace::replay(size_t from, size_t to, std::string* error) const {
	static const gr::GLES2_Dispatch gl = gr::GLES2_Dispatch::library();
	GLuint names[64];
	for (size_t k = from; k < to; ++k) {
		const Call& c = calls[k];
		const std::uint8_t* data = c.bytes ? blob.data() + c.data : nullptr;
		const GLuint* recordedNames = reinterpret_cast<const GLuint*>(data);
		switch (c.function) {
		case Fn_GenBuffers:
		case Fn_GenFramebuffers:
		case Fn_GenRenderbuffers:
		case Fn_GenTextures: {
			const GLsizei n = GLsizei(c.args[0]) < 64 ? GLsizei(c.args[0]) : 64;
			(c.function == Fn_GenBuffers		 ? gl.GenBuffers
			 : c.function == Fn_GenFramebuffers	 ? gl.GenFramebuffers
			 : c.function == Fn_GenRenderbuffers ? gl.GenRenderbuffers
												 : gl.GenTextures)(n, names);
			for (GLsizei i = 0; error && recordedNames && i < n; ++i)
				if (names[i] != recordedNames[i] && error->empty())
					*error = "the replay's context handed out object " + std::to_string(names[i]) + " for " +
							 std::to_string(recordedNames[i]);
			break;
		}
		case Fn_DeleteBuffers:
			gl.DeleteBuffers(GLsizei(c.args[0]), recordedNames);
			break;
		case Fn_DeleteFramebuffers:
			gl.DeleteFramebuffers(GLsizei(c.args[0]), recordedNames);
			break;
		case Fn_DeleteRenderbuffers:
			gl.DeleteRenderbuffers(GLsizei(c.args[0]), recordedNames);
			break;
		case Fn_DeleteTextures:
			gl.DeleteTextures(GLsizei(c.args[0]), recordedNames);
			break;
		case Fn_CreateShader:
		case Fn_CreateProgram: {
			const GLuint name = c.function == Fn_CreateShader ? gl.CreateShader(GLenum(c.args[0])) : gl.CreateProgram();
			const GLuint recorded = GLuint(c.args[c.argCount - 1]);
			if (error && name != recorded && error->empty())
				*error = "the replay's context made program or shader " + std::to_string(name) + " for " +
						 std::to_string(recorded);
			break;
		}
		case Fn_ShaderSource: {
			const GLchar* text =
				reinterpret_cast<const GLchar*>(data ? data : reinterpret_cast<const std::uint8_t*>(""));
			const GLint length = GLint(c.bytes);
			gl.ShaderSource(GLuint(c.args[0]), 1, &text, &length);
			break;
		}
		case Fn_BindAttribLocation:
			gl.BindAttribLocation(GLuint(c.args[0]), GLuint(c.args[1]), reinterpret_cast<const GLchar*>(data));
			break;
		case Fn_BufferData:
			gl.BufferData(GLenum(c.args[0]), GLsizeiptr(c.args[1]), data, GLenum(c.args[3]));
			break;
		case Fn_BufferSubData:
			gl.BufferSubData(GLenum(c.args[0]), GLintptr(c.args[1]), GLsizeiptr(c.args[2]), data);
			break;
		case Fn_TexImage2D:
			gl.TexImage2D(GLenum(c.args[0]), GLint(c.args[1]), GLint(c.args[2]), GLsizei(c.args[3]), GLsizei(c.args[4]),
						  GLint(c.args[5]), GLenum(c.args[6]), GLenum(c.args[7]), data);
			break;
		case Fn_TexSubImage2D:
			gl.TexSubImage2D(GLenum(c.args[0]), GLint(c.args[1]), GLint(c.args[2]), GLint(c.args[3]),
							 GLsizei(c.args[4]), GLsizei(c.args[5]), GLenum(c.args[6]), GLenum(c.args[7]), data);
			break;
		case Fn_Uniform1fv:
		case Fn_Uniform2fv:
		case Fn_Uniform3fv:
		case Fn_Uniform4fv: {
			const GLfloat* v = reinterpret_cast<const GLfloat*>(data);
			(c.function == Fn_Uniform1fv   ? gl.Uniform1fv
			 : c.function == Fn_Uniform2fv ? gl.Uniform2fv
			 : c.function == Fn_Uniform3fv ? gl.Uniform3fv
										   : gl.Uniform4fv)(GLint(c.args[0]), GLsizei(c.args[1]), v);
			break;
		}
		case Fn_UniformMatrix3fv:
		case Fn_UniformMatrix4fv:
			(c.function == Fn_UniformMatrix3fv ? gl.UniformMatrix3fv : gl.UniformMatrix4fv)(
				GLint(c.args[0]), GLsizei(c.args[1]), GLboolean(c.args[2]), reinterpret_cast<const GLfloat*>(data));
			break;
		case Fn_VertexAttrib4fv:
			gl.VertexAttrib4fv(GLuint(c.args[0]), reinterpret_cast<const GLfloat*>(data));
			break;
		case Fn_VertexAttribPointer:
			gl.VertexAttribPointer(GLuint(c.args[0]), GLint(c.args[1]), GLenum(c.args[2]), GLboolean(c.args[3]),
								   GLsizei(c.args[4]), data ? data : unslot<const void*>(c.args[5]));
			break;
		case Fn_DrawElements:
			gl.DrawElements(GLenum(c.args[0]), GLsizei(c.args[1]), GLenum(c.args[2]),
							data ? data : unslot<const void*>(c.args[3]));
			break;
		default:
			kReplay[c.function](c.args);
			break;
		}
	}
}

bool GLTrace::save(const std::string& path) const {
	FILE* f = std::fopen(path.c_str(), "wb");
	if (!f)
		return false;
	const std::uint64_t sizes[3] = {calls.size(), blob.size(), frameStarts.size()};
	bool ok = std::fwrite(sizes, sizeof sizes, 1, f) == 1;
	ok = ok && std::fwrite(calls.data(), sizeof(Call), calls.size(), f) == calls.size();
	ok = ok && std::fwrite(blob.data(), 1, blob.size(), f) == blob.size();
	ok = ok && std::fwrite(frameStarts.data(), sizeof(std::uint32_t), frameStarts.size(), f) == frameStarts.size();
	return std::fclose(f) == 0 && ok;
}

bool GLTrace::load(const std::string& path) {
	FILE* f = std::fopen(path.c_str(), "rb");
	if (!f)
		return false;
	std::uint64_t sizes[3] = {};
	bool ok = std::fread(sizes, sizeof sizes, 1, f) == 1;
	if (ok) {
		calls.resize(sizes[0]);
		blob.resize(sizes[1]);
		frameStarts.resize(sizes[2]);
		ok = std::fread(calls.data(), sizeof(Call), calls.size(), f) == calls.size() &&
			 std::fread(blob.data(), 1, blob.size(), f) == blob.size() &&
			 std::fread(frameStarts.data(), sizeof(std::uint32_t), frameStarts.size(), f) == frameStarts.size();
	}
	std::fclose(f);
	return ok;
}

} // namespace bench

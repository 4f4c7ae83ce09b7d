#ifndef GR_GLES2_DISPATCH_H
#define GR_GLES2_DISPATCH_H

#include <GLES2/gl2.h>

namespace gr {

/**
 * Every OpenGL ES 2 function the backend and the game's own drawing call, by
 * name without the "gl" prefix. X(name) is expanded once per function.
 */
#define GR_GLES2_FUNCTIONS(X) \
	X(ActiveTexture) \
	X(AttachShader) \
	X(BindAttribLocation) \
	X(BindBuffer) \
	X(BindFramebuffer) X(BindRenderbuffer) X(BindTexture) X(BlendEquation) X(BlendFunc) X(BufferData) X(BufferSubData) \
		X(CheckFramebufferStatus) X(Clear) X(ClearColor) X(ClearDepthf) X(CompileShader) X(CopyTexSubImage2D) \
			X(CreateProgram) X(CreateShader) X(CullFace) X(DeleteBuffers) X(DeleteFramebuffers) X(DeleteProgram) \
				X(DeleteRenderbuffers) X(DeleteShader) X(DeleteTextures) X(DepthFunc) X(DepthMask) X(Disable) \
					X(DisableVertexAttribArray) X(DrawArrays) X(DrawElements) X(Enable) X(EnableVertexAttribArray) \
						X(Flush) X(FramebufferRenderbuffer) X(FramebufferTexture2D) X(FrontFace) X(GenBuffers) \
							X(GenFramebuffers) X(GenRenderbuffers) X(GenTextures) X(GenerateMipmap) \
								X(GetActiveUniform) X(GetAttribLocation) X(GetBooleanv) X(GetError) X(GetIntegerv) \
									X(GetProgramInfoLog) X(GetProgramiv) X(GetShaderInfoLog) X(GetShaderiv) \
										X(GetString) X(GetUniformLocation) X(GetVertexAttribiv) X(IsEnabled) \
											X(LinkProgram) X(PixelStorei) X(PolygonOffset) X(ReadPixels) \
												X(RenderbufferStorage) X(ShaderSource) X(TexImage2D) X(TexParameteri) \
													X(TexSubImage2D) X(Uniform1fv) X(Uniform1i) X(Uniform2fv) \
														X(Uniform3fv) X(Uniform4fv) X(UniformMatrix3fv) \
															X(UniformMatrix4fv) X(UseProgram) X(VertexAttrib4fv) \
																X(VertexAttribPointer) X(Viewport)

/**
 * Table of the GL entry points the backend goes through. Everything in the
 * backend, and every GL call of the game, is gr::gl.Name(...) instead of
 * glName(...), so that a test can put its own functions in the table to
 * watch or alter the calls.
 */
struct GLES2_Dispatch {
#define GR_GLES2_DISPATCH_MEMBER(name) decltype(&::gl##name) name;
	GR_GLES2_FUNCTIONS(GR_GLES2_DISPATCH_MEMBER)
#undef GR_GLES2_DISPATCH_MEMBER

	/** The table of the GL library's own functions. */
	static GLES2_Dispatch library();
};

/** The table in use; starts as GLES2_Dispatch::library(). */
extern GLES2_Dispatch gl;

} // gr

#endif

#include <gr/gles2/GLES2_Dispatch.h>

namespace gr {

// Aggregate initialisation keeps the table constant-initialised, so it is
// ready before any other static object runs.
#define GR_GLES2_DISPATCH_ENTRY(name) &::gl##name,

GLES2_Dispatch GLES2_Dispatch::library() {
	return GLES2_Dispatch{GR_GLES2_FUNCTIONS(GR_GLES2_DISPATCH_ENTRY)};
}

GLES2_Dispatch gl = {GR_GLES2_FUNCTIONS(GR_GLES2_DISPATCH_ENTRY)};

#undef GR_GLES2_DISPATCH_ENTRY

} // gr

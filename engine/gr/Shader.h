#ifndef GR_SHADER_H
#define GR_SHADER_H

#include <gr/ContextObject.h>
#include <lang/String.h>
#include <math/Matrix4x4.h>
#include <math/Vector4.h>

namespace gr {

class BaseTexture;

/**
 * An instance of an effect with its own parameter values. Parameters are
 * set by name or by semantic id (the id's name); setting a parameter the
 * effect does not use has no effect.
 */
class Shader : public ContextObject {
public:
	/** Semantic parameters; the name of each is getParamName(id). */
	enum ParamType {
		PARAM_NONE,
		PARAM_CAMERAP,
		PARAM_WORLDTM,
		PARAM_VIEWTM,
		PARAM_VIEWTMINV,
		PARAM_VIEWPROJTM,
		PARAM_PROJTM,
		PARAM_TOTALTM,
		PARAM_BONEWORLDTM,
		PARAM_LIGHTP0,
		PARAM_LIGHTP1,
		PARAM_LIGHTP2,
		PARAM_LIGHTP3,
		PARAM_LIGHTP4,
		PARAM_LIGHTP5,
		PARAM_LIGHTP6,
		PARAM_LIGHTP7,
		PARAM_LIGHTC0,
		PARAM_LIGHTC1,
		PARAM_LIGHTC2,
		PARAM_LIGHTC3,
		PARAM_LIGHTC4,
		PARAM_LIGHTC5,
		PARAM_LIGHTC6,
		PARAM_LIGHTC7,
		PARAM_COUNT
	};

	/** Sort modes of an effect ("sort" value). */
	enum SortMode {
		SORT_NONE,
		SORT_BACKTOFRONT,
		SORT_FRONTTOBACK,
		SORT_INSIDEOUT,
		SORT_OUTSIDEIN,
	};

	Shader() : ContextObject(CLASSID_SHADER) {}

	/** New instance of the same effect with copied parameter values. */
	virtual Shader* clone() const = 0;

	/** Selects a technique by name; an unknown name leaves the selection unchanged. */
	virtual void setTechnique(const lang::String& name) = 0;

	virtual void setTexture(ParamType param, BaseTexture* value) = 0;
	virtual void setTexture(const lang::String& name, BaseTexture* value) = 0;
	virtual void setMatrix(ParamType param, const math::Matrix4x4& value) = 0;
	virtual void setMatrix(const lang::String& name, const math::Matrix4x4& value) = 0;

	/** An array of count pointers to matrices (bone matrices). */
	virtual void setMatrixArray(ParamType param, const math::Matrix4x4* const* matrices, int count) = 0;

	virtual void setVector(ParamType param, const math::Vector4& value) = 0;
	virtual void setVector(const lang::String& name, const math::Vector4& value) = 0;
	virtual void setFloat(ParamType param, float value) = 0;
	virtual void setFloat(const lang::String& name, float value) = 0;

	/** The texture parameter, or null. */
	virtual BaseTexture* getTexture(const lang::String& name) const = 0;

	/** The matrix parameter; identity when unset. */
	virtual math::Matrix4x4 getMatrix(const lang::String& name) const = 0;

	virtual math::Vector4 getVector(const lang::String& name) const = 0;
	virtual float getFloat(const lang::String& name) const = 0;

	/** Selects the technique to draw with; returns its number of passes (0 draws nothing). */
	virtual int begin() = 0;

	/** Makes pass `pass` current: program, render states and parameter upload. */
	virtual void beginPass(int pass) = 0;

	virtual void endPass() = 0;
	virtual void end() = 0;

	virtual void setName(const lang::String& name) = 0;

	/** Stores the instance's sort mode (SortMode). */
	virtual void setFlags(int flags) = 0;

	/** Render priority of the effect (default 0). */
	virtual int getPriority() const = 0;

	/** The sort mode; initially the effect's. */
	virtual int getFlags() const = 0;

	virtual bool isValid() const = 0;

	virtual const lang::String& name() const = 0;

	/** Name of a parameter id ("CAMERAP"); "" outside 0..24. */
	static const char* getParamName(ParamType param);

	/** Id of an exact (case-sensitive) parameter name; PARAM_NONE when none matches. */
	static ParamType parseParamType(const lang::String& name);
	static ParamType parseParamType(const char* name);
};

} // gr

#endif

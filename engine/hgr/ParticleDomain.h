#ifndef HGR_PARTICLEDOMAIN_H
#define HGR_PARTICLEDOMAIN_H

#include <hgr/ParticleSystem.h>
#include <math/Vector3.h>

namespace hgr {

/**
 * Random value source of a particle description: a type and up to nine
 * parameters. Every draw takes fresh numbers from the C library's rand(),
 * which the engine never seeds.
 */
class ParticleSystem::Domain {
public:
	enum Type {
		NONE,
		CONSTANT,
		RANGE,
		POINT,
		SPHERE,
		LINE,
		BOX,
		CYLINDER,
		DISK,
		RECTANGLE,
		TRIANGLE,
		/** Marks an unknown type name while reading. */
		UNKNOWN
	};

	/** Results of parse(). */
	enum ParseResult {
		PARSE_OK,
		PARSE_NO_TYPE,		// no first word
		PARSE_UNKNOWN_TYPE, // not one of the type names, or longer than MAX_TYPE_NAME
		PARSE_TOO_FEW		// fewer numbers than the type needs
	};

	enum { PARAMETER_COUNT = 9, MAX_TYPE_NAME = 255 };

	float p[PARAMETER_COUNT];
	int type;

	/** NONE with all parameters 0. */
	Domain();
	Domain(int type, float p1 = 0.f, float p2 = 0.f, float p3 = 0.f, float p4 = 0.f, float p5 = 0.f, float p6 = 0.f,
		   float p7 = 0.f, float p8 = 0.f, float p9 = 0.f);

	/**
	 * Reads "TYPE p1 p2 ..." (white space between, upper-case type names,
	 * exactly the type's parameter count of numbers, later text ignored).
	 * On failure the domain is left NONE with zero parameters.
	 */
	ParseResult parse(const char* text);

	/** A scalar: NONE 0, CONSTANT x, RANGE begin..end, others the x of a vector draw. */
	float drawScalar() const;
	/** A 3-vector; CONSTANT and RANGE fill x only. */
	math::Vector3 drawVector() const;

	/** True when the type is CONSTANT with the value x. */
	bool isConstant(float x) const { return type == CONSTANT && p[0] == x; }

	/** Parameters a type reads; 0 for ids outside the table. */
	static int parameterCount(int type);
	/** Type of an exact (upper-case) name; UNKNOWN when none matches. */
	static int parseType(const char* name);
	/** Name of a type id; "" outside the table. */
	static const char* typeName(int type);

	/** A uniform number in [0, 1) from rand(): unit(rand()). */
	static float random();
	/** value / (RAND_MAX + 1) as a float, kept below 1 (the float nearest to it may be 1). */
	static float unit(int value);
};

} // namespace hgr

#endif

#ifndef HGR_PARTICLEDESCRIPTION_H
#define HGR_PARTICLEDESCRIPTION_H

#include <hgr/ParticleDomain.h>
#include <hgr/ParticleSystem.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Vector3.h>

namespace io {
class InputStream;
}

namespace hgr {

/**
 * The contents of a particle system description file (key = value property
 * text), shared by every copy of a system. Read with read(), checked with
 * validate(); the loaded texture and shader are kept here too.
 */
class ParticleSystem::Description : public lang::Object {
public:
	enum AnimationType { ANIMATION_LOOP, ANIMATION_LIFE, ANIMATION_RANDOM, ANIMATION_INVALID };
	enum ViewType { VIEW_CAMERAUP, VIEW_WORLDUP, VIEW_INVALID };
	enum KillType { KILL_NONE, KILL_OLDEST, KILL_RANDOM, KILL_INVALID };

	enum {
		/**
		 * Largest systemMaxEmissions and emissionMaxParticles, each on its
		 * own: a system bounds the particles alive at once by a budget of
		 * its own (ParticleSystem::PARTICLE_BUDGET).
		 */
		MAX_COUNT = 10922,
		/** Largest textureFrames: a 256 x 256 grid. */
		MAX_TEXTURE_FRAMES = 65536,
		/** Largest description file read. */
		MAX_FILE_SIZE = 16 << 20,
	};

	/** Top-left texture coordinate of one frame of the texture grid. */
	struct TextureFrame {
		float u;
		float v;
	};

	int systemMaxEmissions;
	Domain systemRate;
	Domain systemStopTime;
	Domain systemLifeTime;

	int emissionMaxParticles;
	Domain emissionRate;
	Domain emissionStopTime;
	Domain emissionLifeTime;
	Domain emissionPosition;

	Domain particleLifeTime;
	Domain particleStartVelocity;
	Domain particleStartPosition;
	Domain particleStartSize;
	Domain particleEndSize;
	Domain particleStartAlpha;
	Domain particleEndAlpha;
	Domain particleStartColor;
	Domain particleEndColor;
	Domain particleSpriteElasticity;
	Domain particleSpriteRotation;
	Domain particleSpriteStartRotationSpeed;
	Domain particleSpriteEndRotationSpeed;

	float gravity;
	math::Vector3 wind;
	float textureFrameRate;
	int textureFrames;
	lang::String textureName;
	lang::String shaderName;
	lang::Ptr<gr::Texture> texture;
	lang::Ptr<gr::Shader> shader;

	int textureAnimation;
	int textureView;
	int emissionLimitKill;
	int systemLimitKill;

	bool particleUpdateAlways;
	bool particleAlignedToUserNormal;

	/** 1 / n for an n x n grid, and the grid's frames along rows; filled by buildFrameTable(). */
	float textureFrameSize;
	lang::Array<TextureFrame> textureFrameTable;

	/** The file the description was read from (the stream's name). */
	lang::String fileName;

	/** Set once a system of this description has said that it reached the particle budget. */
	bool budgetReported;

	/** Every domain NONE, numbers 0, names empty, the enumerations at their invalid values, booleans false. */
	Description();

	/**
	 * Fills this (fresh) description from the property text of in. Throws
	 * io::IOException naming the key and the stream when the text cannot be
	 * read, a required key is absent or a value does not parse.
	 */
	void read(io::InputStream* in);

	/** Throws io::IOException naming fileName when a value is out of range or two settings exclude each other. */
	void validate(const lang::String& fileName) const;

	/** Fills the frame table from textureFrames (a valid count); nothing when it is already filled. */
	void buildFrameTable();

	/** Integer square root: the largest n with n * n <= value (0 for value <= 0). */
	static int squareRoot(int value);

private:
	Description(const Description&) = delete;
	Description& operator=(const Description&) = delete;
};

} // namespace hgr

#endif

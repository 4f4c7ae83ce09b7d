#ifndef HGR_PARTICLESYSTEM_H
#define HGR_PARTICLESYSTEM_H

#include <hgr/Visual.h>
#include <lang/Array.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Matrix3x3.h>
#include <math/Vector3.h>

namespace gr {
class Context;
class Primitive;
class Shader;
}

namespace hgr {

class Camera;
class ResourceManager;

/**
 * Visual that simulates emissions of particles as its shared description
 * prescribes and draws them as camera-facing sprites. Particles live in
 * world coordinates; the bounding box kept by update() is a world box.
 *
 * A description whose maxima multiply to at most UP_FRONT_PARTICLES gets
 * its pools for those maxima when the system starts, so that neither
 * update() nor render() allocates once the first frame is drawn. A larger
 * one (each maximum may reach 10922) gets pools that grow as particles are
 * emitted: each emission's pool and the emission list double when full,
 * up to the description's maxima, and at most PARTICLE_BUDGET particles
 * live at once in the system. A particle beyond the budget is not emitted
 * (its credit is spent, as at a full emission without a kill policy), and
 * the first time a description's system meets the budget one line says
 * so. The pools together keep room for about twice the budget at most:
 * past that they give back what they do not hold. Once grown to what the
 * system needs, updates and drawing allocate nothing again.
 *
 * Copies share the description and start without particles.
 */
class ParticleSystem : public Visual {
public:
	enum {
		/** Most particles alive at once in one system. */
		PARTICLE_BUDGET = 65536,
		/** Largest systemMaxEmissions x emissionMaxParticles whose pools are made when the system starts. */
		UP_FRONT_PARTICLES = 4096,
	};

	/** Random value source of a description (hgr/ParticleDomain.h). */
	class Domain;
	/** The contents of a description file (hgr/ParticleDescription.h). */
	class Description;

	/** One sprite. Colours and alpha run 0 to 1 and move linearly to their end values over the lifetime. */
	struct Particle {
		float age;
		float lifeTime;
		float rotation; // radians
		float elasticity;
		float size;
		float sizeSpeed; // per second
		float red;
		float green;
		float blue;
		float alpha;
		float rotationSpeed;		// radians per second
		float rotationAcceleration; // radians per second squared
		int frame;					// index into the description's frame table
		math::Vector3 velocity;		// world space
		math::Vector3 position;		// world space
		math::Matrix3x3 basis;
		float redSpeed; // colour and alpha change per second
		float greenSpeed;
		float blueSpeed;
		float alphaSpeed;
	};

	/** A group of particles launched together around one pivot. */
	struct Emission {
		float age;
		float stopTime;
		float lifeTime;
		float particleCredit;
		math::Vector3 position;
		/**
		 * Room for particles: the description's particle maximum when the
		 * pools are made up front, else what the emission has needed so far.
		 * The first particleCount are alive.
		 */
		lang::Array<Particle> particles;
		int particleCount;

		Emission() : age(0.f), stopTime(0.f), lifeTime(0.f), particleCredit(0.f), particleCount(0) {}
	};

	/**
	 * Reads and checks the description file `name`, gets its texture and
	 * shader through manager (the process-wide default one when null) from
	 * textureDir and shaderDir (the file's own directory when empty), and
	 * starts the system. An empty texture or shader name loads nothing.
	 * Throws io::IOException when the file cannot be read or is invalid, or a
	 * joined path is too long; exceptions of the manager pass through.
	 */
	ParticleSystem(gr::Context* context, const lang::String& name, ResourceManager* manager,
				   const lang::String& textureDir, const lang::String& shaderDir);

	/** Copies the node and visual part, start time and basis; shares the description; starts empty. */
	ParticleSystem(const ParticleSystem& other);
	~ParticleSystem() override;

	/** A copy as by the copy constructor. */
	Visual* clone() const override;

	/** Advances the simulation by dt seconds. */
	void update(float dt);

	/** The system stays idle until its time reaches seconds. */
	void setStartTime(float seconds) { m_startTime = seconds; }
	float getStartTime() const { return m_startTime; }

	/** Draws the live particles when the description's shader has render priority `priority`. */
	void render(gr::Context* context, Camera* camera, int priority) override;
	/** Appends the description's shader (nothing when it has none). */
	void getShaders(lang::Array<gr::Shader*>& out) override;
	/** Nothing: update() keeps the box. */
	void computeBoundBox() override;

	/** Basis copied into every new particle (identity unless set). */
	void setBasis(const math::Matrix3x3& basis) { m_basis = basis; }
	const math::Matrix3x3& getBasis() const { return m_basis; }

	Description* getDescription() const { return m_description; }
	float getTime() const { return m_time; }
	float getTimeSinceRender() const { return m_timeSinceRender; }
	float getStopTime() const { return m_stopTime; }
	float getEmissionCredit() const { return m_emissionCredit; }
	int getEmissionCount() const { return m_emissionCount; }
	const Emission& getEmission(int i) const { return m_emissions[i]; }
	/** Live particles of all emissions. */
	int getParticleCount() const { return m_particleCount; }
	/** True when the pools grow as particles are emitted rather than being made up front. */
	bool poolsGrow() const { return m_poolsGrow; }
	/** Room for particles in the pools of all emission slots, live or not. */
	int getParticleRoom() const { return m_particleRoom; }
	/** The primitive drawn into, null until the first draw that reaches a builder. */
	gr::Primitive* getPrimitive() const { return m_primitive; }

	/** Message printed once when drawing on a platform without a builder. */
	static const char* const UNSUPPORTED_PLATFORM_MESSAGE;

private:
	lang::Ptr<Description> m_description;
	lang::Array<Emission> m_emissions; // emission slots; the first m_emissionCount are alive
	int m_emissionCount;
	int m_particleCount; // live particles of all emissions
	int m_particleRoom;	 // sum of the pool sizes of all emission slots
	int m_primitiveRoom; // particles the primitive has room for, while the pools grow
	bool m_poolsGrow;
	float m_time;
	float m_timeSinceRender;
	float m_emissionCredit;
	float m_stopTime;
	float m_startTime;
	math::Matrix3x3 m_basis;
	lang::Ptr<gr::Primitive> m_primitive;

	/** Makes the pools (or, when they grow, none yet), builds the frame table and resets the clock and the emissions. */
	void start();
	/** One more emission slot (the list doubles, within the description's maximum). */
	void growEmissions();
	/**
	 * The slot of a new particle appended to e (below its maximum), growing
	 * its pool when full; -1 at the budget (said once per description).
	 */
	int appendParticle(Emission& e);
	/** Shrinks every pool to the particles it holds. */
	void reclaimRoom();
	/** Particles the primitive must have room for this frame. */
	int primitiveRoom();
	void removeDead();
	void launchEmissions(float dt);
	void advanceEmission(Emission& e, float dt, const math::Matrix3x4& world, math::Vector3& boxMin,
						 math::Vector3& boxMax);
	void initParticle(Particle& p, const Emission& e, const math::Matrix3x4& world);

	// Drawing (ParticleSystemRender.cpp)
	void renderScreenSpace(gr::Context* context, Camera* camera);
	void renderViewSpace(gr::Context* context, Camera* camera);
	/** Draws the primitive with every pass of the description's shader. */
	void drawPasses();

	ParticleSystem& operator=(const ParticleSystem&) = delete;
};

} // namespace hgr

#endif

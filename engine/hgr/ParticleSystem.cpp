#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ResourceManager.h>
#include <gr/Primitive.h>
#include <io/FileInputStream.h>
#include <io/PathName.h>
#include <lang/Debug.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hgr {

namespace {

const float DEGREES_TO_RADIANS = 0.017453292f;
const float NEVER_RENDERED = -3.4028235e38f;

// Growing pools: the first size of a particle pool and of the emission list,
// and the room past which the pools give back what they do not hold.
const int FIRST_POOL = 16;
const int FIRST_EMISSIONS = 4;
const int ROOM_LIMIT = 2 * ParticleSystem::PARTICLE_BUDGET;

/** Index of the item that makes room under a kill policy; -1 for none. */
template <class T>
int chooseVictim(const T* items, int count, int policy) {
	switch (policy) {
	case ParticleSystem::Description::KILL_OLDEST: {
		int oldest = -1;
		float oldestAge = 0.f;
		for (int i = 0; i < count; ++i) {
			if (items[i].age > oldestAge) {
				oldest = i;
				oldestAge = items[i].age;
			}
		}
		return oldest;
	}
	case ParticleSystem::Description::KILL_RANDOM:
		return count > 0 ? std::rand() % count : -1;
	default:
		return -1;
	}
}

/** Adds rate x dt to a credit, keeping it within 0..max (a credit that is not a number becomes 0). */
float addCredit(float credit, float rate, float dt, int max) {
	credit += rate * dt;
	if (!(credit >= 0.f))
		return 0.f;
	return std::min(credit, float(max));
}

/** 1 / lifeTime, or 0 for a particle that never dies or dies at once, so that nothing becomes infinite. */
float inverseLife(float lifeTime) {
	return lifeTime > 1e-6f && lifeTime <= math::MAX_FINITE_FLOAT ? 1.f / lifeTime : 0.f;
}

} // namespace

ParticleSystem::ParticleSystem(gr::Context* context, const lang::String& name, ResourceManager* manager,
							   const lang::String& textureDir, const lang::String& shaderDir)
	: m_emissionCount(0), m_particleCount(0), m_particleRoom(0), m_primitiveRoom(0), m_poolsGrow(false), m_time(0.f),
	  m_timeSinceRender(NEVER_RENDERED), m_emissionCredit(0.f), m_stopTime(0.f), m_startTime(0.f) {
	setClassId(NODE_PARTICLESYSTEM);

	lang::Ptr<Description> description = new Description;
	{
		lang::Ptr<io::FileInputStream> in = new io::FileInputStream(name);
		description->read(in);
	}
	description->validate(name);

	if (!manager)
		manager = ResourceManager::getDefault(context);

	// An empty directory means the description file's own.
	io::PathName own;
	own.join(name);
	own.directoryOf(own);
	const lang::String ownDir(own.path());

	if (description->textureName.length() > 0) {
		io::PathName path;
		path.join(textureDir.length() > 0 ? textureDir : ownDir, description->textureName);
		description->texture = manager->getTexture(lang::String(path.path()));
	}
	if (description->shaderName.length() > 0) {
		io::PathName path;
		path.join(shaderDir.length() > 0 ? shaderDir : ownDir, description->shaderName);
		description->shader = manager->createShader(lang::String(path.path()), 0);
		if (description->shader && description->texture)
			description->shader->setTexture("BASEMAP", description->texture);
	}

	m_description = description;
	start();
}

ParticleSystem::ParticleSystem(const ParticleSystem& other)
	: Visual(other), m_description(other.m_description), m_emissionCount(0), m_particleCount(0), m_particleRoom(0),
	  m_primitiveRoom(0), m_poolsGrow(false), m_time(0.f), m_timeSinceRender(NEVER_RENDERED), m_emissionCredit(0.f),
	  m_stopTime(0.f), m_startTime(other.m_startTime), m_basis(other.m_basis) {
	start();
}

ParticleSystem::~ParticleSystem() {}

Visual* ParticleSystem::clone() const {
	return new ParticleSystem(*this);
}

void ParticleSystem::start() {
	Description& d = *m_description;
	const long long maxParticles = (long long)d.systemMaxEmissions * d.emissionMaxParticles;
	m_poolsGrow = maxParticles > UP_FRONT_PARTICLES;
	if (!m_poolsGrow) {
		Emission prototype;
		prototype.particles.resize(d.emissionMaxParticles);
		m_emissions.resize(d.systemMaxEmissions, prototype);
		m_particleRoom = int(maxParticles);
	}
	d.buildFrameTable();
	m_time = 0.f;
	m_emissionCredit = 0.f;
	m_timeSinceRender = NEVER_RENDERED;
	m_stopTime = d.systemStopTime.drawScalar();
	d.systemLifeTime.drawScalar(); // drawn for the sequence of random numbers; nothing uses it
	m_emissionCount = 0;
	m_particleCount = 0;
}

void ParticleSystem::growEmissions() {
	const int size = m_emissions.size();
	const int grown = std::min(m_description->systemMaxEmissions, std::max(FIRST_EMISSIONS, 2 * size));
	m_emissions.setCapacity(grown);
	m_emissions.resize(grown);
}

int ParticleSystem::appendParticle(Emission& e) {
	if (m_particleCount >= PARTICLE_BUDGET) {
		Description& d = *m_description;
		if (!d.budgetReported) {
			d.budgetReported = true;
			lang::debugPrintf(
				"Particle system \"%s\" reached its budget of %d live particles: further particles are not emitted\n",
				d.fileName.c_str(), int(PARTICLE_BUDGET));
		}
		return -1;
	}
	if (e.particleCount == e.particles.size()) {
		const int wanted = std::min(m_description->emissionMaxParticles, std::max(FIRST_POOL, 2 * e.particleCount));
		if (m_particleRoom + wanted - e.particles.size() > ROOM_LIMIT)
			reclaimRoom();
		const int size = e.particles.size();
		e.particles.setCapacity(wanted);
		e.particles.resize(wanted);
		m_particleRoom += wanted - size;
	}
	++m_particleCount;
	return e.particleCount++;
}

void ParticleSystem::reclaimRoom() {
	// Slots keep the room of the largest emission they held; with the budget
	// spread over changing emissions that could add up to far more than the
	// budget. Each pool keeps what it holds, which is within the budget.
	m_particleRoom = 0;
	for (int i = 0; i < m_emissions.size(); ++i) {
		Emission& e = m_emissions[i];
		e.particles.resize(e.particleCount);
		e.particles.setCapacity(e.particleCount);
		m_particleRoom += e.particleCount;
	}
}

void ParticleSystem::getShaders(lang::Array<gr::Shader*>& out) {
	if (m_description->shader)
		out.add(m_description->shader);
}

void ParticleSystem::computeBoundBox() {}

void ParticleSystem::update(float dt) {
	const Description& d = *m_description;

	m_time += dt;
	if (m_startTime > m_time)
		return;
	// A system not drawn for over a second freezes while it holds particles.
	if (!d.particleUpdateAlways && m_emissionCount > 0 && m_timeSinceRender > 1.f && getParticleCount() > 0)
		return;
	m_timeSinceRender += dt;

	removeDead();
	if (m_stopTime < 0.f || m_stopTime > m_time - m_startTime)
		launchEmissions(dt);

	const math::Matrix3x4 world = getWorldTransform();
	math::Vector3 boxMin(1e10f, 1e10f, 1e10f);
	math::Vector3 boxMax(-1e10f, -1e10f, -1e10f);
	for (int i = 0; i < m_emissionCount; ++i)
		advanceEmission(m_emissions[i], dt, world, boxMin, boxMax);
	// The particles live in world space: the box is a world box.
	setWorldBoundBox(boxMin, boxMax);
}

void ParticleSystem::removeDead() {
	for (int i = 0; i < m_emissionCount;) {
		Emission& e = m_emissions[i];
		if (e.lifeTime > 0.f && e.lifeTime <= e.age) {
			m_particleCount -= e.particleCount;
			// The last emission moves into the slot with its particles; the dead pool goes to the end.
			Emission& last = m_emissions[m_emissionCount - 1];
			if (&last != &e) {
				e.particles.swap(last.particles);
				e.age = last.age;
				e.stopTime = last.stopTime;
				e.lifeTime = last.lifeTime;
				e.particleCredit = last.particleCredit;
				e.position = last.position;
				e.particleCount = last.particleCount;
			}
			last.particleCount = 0;
			--m_emissionCount;
		} else {
			++i;
		}
	}
	for (int i = 0; i < m_emissionCount; ++i) {
		Emission& e = m_emissions[i];
		Particle* particles = e.particles.begin();
		for (int k = 0; k < e.particleCount;) {
			const Particle& p = particles[k];
			if (p.lifeTime > 0.f && p.lifeTime <= p.age) {
				particles[k] = particles[--e.particleCount];
				--m_particleCount;
			} else {
				++k;
			}
		}
	}
}

void ParticleSystem::launchEmissions(float dt) {
	const Description& d = *m_description;
	m_emissionCredit = addCredit(m_emissionCredit, d.systemRate.drawScalar(), dt, d.systemMaxEmissions);
	while (m_emissionCredit >= 1.f) {
		int slot;
		if (m_emissionCount < d.systemMaxEmissions) {
			if (m_emissionCount == m_emissions.size())
				growEmissions();
			slot = m_emissionCount++;
		} else {
			slot = chooseVictim(m_emissions.begin(), m_emissionCount, d.systemLimitKill);
		}
		if (slot >= 0) {
			Emission& e = m_emissions[slot];
			e.age = 0.f;
			e.stopTime = d.emissionStopTime.drawScalar();
			e.lifeTime = d.emissionLifeTime.drawScalar();
			e.particleCredit = 0.f;
			e.position = d.emissionPosition.drawVector();
			m_particleCount -= e.particleCount;
			e.particleCount = 0;
		}
		m_emissionCredit -= 1.f;
	}
}

void ParticleSystem::initParticle(Particle& p, const Emission& e, const math::Matrix3x4& world) {
	const Description& d = *m_description;
	p = Particle();
	p.lifeTime = d.particleLifeTime.drawScalar();
	const float invLife = inverseLife(p.lifeTime);
	p.elasticity = d.particleSpriteElasticity.drawScalar();
	p.rotation = d.particleSpriteRotation.drawScalar() * DEGREES_TO_RADIANS;
	p.size = d.particleStartSize.drawScalar();
	p.sizeSpeed = (d.particleEndSize.drawScalar() - p.size) * invLife;
	const float s0 = d.particleSpriteStartRotationSpeed.drawScalar();
	const float s1 = d.particleSpriteEndRotationSpeed.drawScalar();
	p.rotationSpeed = s0 * DEGREES_TO_RADIANS;
	p.rotationAcceleration = (s1 - s0) * invLife * DEGREES_TO_RADIANS;
	p.frame = 0;
	p.age = 0.f;
	p.velocity = world.rotate(d.particleStartVelocity.drawVector() + d.wind);
	p.position = world.transform(d.particleStartPosition.drawVector() + e.position);
	p.basis = m_basis;

	// Colour and alpha go from their start to their end values over the lifetime.
	const math::Vector3 c0 = d.particleStartColor.drawVector();
	const math::Vector3 c1 = d.particleEndColor.drawVector();
	const float a0 = d.particleStartAlpha.drawScalar();
	const float a1 = d.particleEndAlpha.drawScalar();
	p.red = c0.x;
	p.green = c0.y;
	p.blue = c0.z;
	p.alpha = a0;
	p.redSpeed = (c1.x - c0.x) * invLife;
	p.greenSpeed = (c1.y - c0.y) * invLife;
	p.blueSpeed = (c1.z - c0.z) * invLife;
	p.alphaSpeed = (a1 - a0) * invLife;
}

void ParticleSystem::advanceEmission(Emission& e, float dt, const math::Matrix3x4& world, math::Vector3& boxMin,
									 math::Vector3& boxMax) {
	const Description& d = *m_description;

	const float oldAge = e.age;
	e.age = oldAge + dt;
	if (e.stopTime < 0.f || e.stopTime > oldAge + dt) {
		e.particleCredit = addCredit(e.particleCredit, d.emissionRate.drawScalar(), dt, d.emissionMaxParticles);
		while (e.particleCredit >= 1.f) {
			int slot;
			if (e.particleCount < d.emissionMaxParticles)
				slot = appendParticle(e);
			else
				slot = chooseVictim(e.particles.begin(), e.particleCount, d.emissionLimitKill);
			if (slot < 0) {
				// No later particle of this update would find a slot either
				// (the budget is spent, or a full emission has no victim) and
				// none draws a random number: the credit goes at once, as one
				// by one, without a loop as long as the credit.
				e.particleCredit -= std::floor(e.particleCredit);
				break;
			}
			initParticle(e.particles[slot], e, world);
			e.particleCredit -= 1.f;
		}
	}

	Particle* particles = e.particles.begin();

	const float period = d.textureFrameRate > math::MIN_NORMAL_FLOAT ? 1.f / d.textureFrameRate
																	 : math::MAX_FINITE_FLOAT;
	const int frames = d.textureFrames;
	const float gravityStep = d.gravity * dt;
	for (int k = 0; k < e.particleCount; ++k) {
		Particle& p = particles[k];

		const float phase = std::fmod(p.age, period);
		if (phase == phase && phase + dt >= period) {
			switch (d.textureAnimation) {
			case Description::ANIMATION_LOOP:
				p.frame = (p.frame + 1) % frames;
				break;
			case Description::ANIMATION_LIFE: {
				// Past the end of life (or without one) the frame stays inside the table.
				const float f = p.lifeTime > 0.f ? p.age / p.lifeTime * float(frames) : 0.f;
				p.frame = f >= 0.f ? (f < float(frames - 1) ? int(f) : frames - 1) : 0;
				break;
			}
			default:
				p.frame = std::rand() % frames;
				break;
			}
		}

		p.age += dt;
		p.size += p.sizeSpeed * dt;
		p.rotation += p.rotationSpeed * dt;
		p.rotationSpeed += p.rotationAcceleration * dt;
		p.red += p.redSpeed * dt;
		p.green += p.greenSpeed * dt;
		p.blue += p.blueSpeed * dt;
		p.alpha += p.alphaSpeed * dt;

		p.velocity.y += gravityStep;
		p.position += p.velocity * dt;

		// A negative size spans the same box as its absolute value.
		const float s = std::fabs(p.size);
		boxMin.x = std::min(boxMin.x, p.position.x - s);
		boxMin.y = std::min(boxMin.y, p.position.y - s);
		boxMin.z = std::min(boxMin.z, p.position.z - s);
		boxMax.x = std::max(boxMax.x, p.position.x + s);
		boxMax.y = std::max(boxMax.y, p.position.y + s);
		boxMax.z = std::max(boxMax.z, p.position.z + s);
	}
}

} // namespace hgr

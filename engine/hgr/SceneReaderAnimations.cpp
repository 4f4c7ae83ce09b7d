#include <hgr/KeyframeSequence.h>
#include <hgr/Scene.h>
#include <hgr/SceneInputStream.h>
#include <hgr/SceneReader.h>
#include <hgr/TransformAnimationSet.h>
#include <gr/VertexFormat.h>
#include <io/IOException.h>
#include <cstring>

namespace hgr {

namespace {

const int NAME_BUFFER_SIZE = 256;

// Fewest bytes of an animation record: name length, rates, end behaviour and
// the shortest channels of the version.
int minAnimationBytes(int version) {
	if (version <= 191)
		return 2 + 4 + 3 * (4 + 2 + 4 + 16);
	return 2 + 4 + 1 + 4 + 8 + 4;
}

uint32_t be32(const uint8_t* b) {
	return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
}

float beFloat(const uint8_t* b) {
	const uint32_t bits = be32(b);
	float v;
	std::memcpy(&v, &bits, 4);
	return v;
}

} // namespace

void SceneReader::readAnimations() {
	const int nodeCount = m_nodes.size();
	const int count = m_in->readInt();
	// No animations at all is accepted also when there are nodes; otherwise
	// there is one per node, in node order.
	if (nodeCount > 0 && count > 0 && count != nodeCount)
		fail(
			lang::Format("Failed to load scene \"{0}\". Transform animation count ({1}) does not match node count "
						 "({2}).",
						 m_fileName, count, nodeCount));
	const int records = count > 0 ? count : 0;
	checkCount(records, minAnimationBytes(m_version), "transform animation");

	lang::Ptr<TransformAnimationSet> animations = new TransformAnimationSet(records);
	m_scene->setAnimations(animations);
	for (int i = 0; i < records; ++i) {
		const lang::String name = m_in->readUTF();
		if (nodeCount > 0 && name.compareTo(m_nodes[i].node->getName()) != 0)
			fail(lang::Format("Failed to load scene \"{0}\". Transform animation ({1}) does not match node name ({2}).",
							  m_fileName, name, m_nodes[i].node->getName()));
		lang::Ptr<TransformAnimation> animation = readAnimation();
		animations->put(name, animation);
	}
}

lang::Ptr<TransformAnimation> SceneReader::readAnimation() {
	const int positionRate = m_in->readByte();
	const int rotationRate = m_in->readByte();
	const int scaleRate = m_in->readByte();
	const int endBehaviour = m_in->readByte();
	if (endBehaviour > KeyframeSequence::STOP)
		fail(lang::Format("Failed to load scene \"{0}\". Invalid transform animation end behaviour ({1}).",
						  m_in->toString(), endBehaviour));

	const int form = m_version > 191 ? m_in->readByte() : 0;
	if (form == 0) {
		lang::Ptr<KeyframeSequence> positions = readSequence();
		lang::Ptr<KeyframeSequence> rotations = readSequence();
		lang::Ptr<KeyframeSequence> scales = readSequence();
		return new TransformAnimation(endBehaviour, positions, rotations, scales, positionRate, rotationRate,
									  scaleRate);
	}
	lang::Ptr<TransformAnimation::Float3Anim> positions = readFloat3Channel();
	lang::Ptr<KeyframeSequence> rotations = readSequence();
	lang::Ptr<TransformAnimation::Float3Anim> scales = readFloat3Channel();
	// Files without a stored length take the time the rotation keys span.
	const float length = m_version > 192 ? m_in->readFloat()
										 : TransformAnimation::getKeyLength(rotations->getKeyCount(), rotationRate);
	return new TransformAnimation(endBehaviour, positions, rotations, scales, positionRate, rotationRate, scaleRate,
								  length);
}

lang::Ptr<KeyframeSequence> SceneReader::readSequence() {
	SceneInputStream& in = *m_in;
	const int count = in.readInt();

	if (m_version <= 191) {
		char formatName[NAME_BUFFER_SIZE];
		in.readUTF(formatName, NAME_BUFFER_SIZE);
		float scaleBias[5];
		readFloats(scaleBias, 5);
		if (count == 0)
			return nullptr;
		const int format = gr::VertexFormat::parseDataFormat(formatName);
		if (format == gr::VertexFormat::NONE || format == gr::VertexFormat::DF_SIZE)
			fail(lang::Format("Failed to load scene \"{0}\". Invalid keyframe data format ({1}).", in.toString(),
							  formatName));
		const int size = gr::VertexFormat::getDataFormatSize(format);
		checkCount(count, size, "key");
		lang::Ptr<KeyframeSequence> sequence = new KeyframeSequence(count, format);
		// The key bytes are taken as they stand, like vertex data.
		in.readFully(sequence->getKeyData(), count * size);
		sequence->setScale(scaleBias[0]);
		sequence->setBias(scaleBias[1], scaleBias[2], scaleBias[3], scaleBias[4]);
		return sequence;
	}

	const int dimension = in.readInt();
	if (dimension != 3 && dimension != 4)
		fail(lang::Format("Keyframe sequence in {0} dimension invalid ({1})", in.toString(), dimension));
	const bool quantised = count > 2;
	checkCount(count, dimension * (quantised ? 2 : 4), "key");
	if (quantised && 2 * dimension * 4 > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid key count ({1}).", m_fileName, count));

	lang::Ptr<KeyframeSequence> sequence =
		new KeyframeSequence(count, dimension == 3 ? gr::VertexFormat::V3_32 : gr::VertexFormat::V4_32);
	uint8_t* keys = sequence->getKeyData();
	const int values = count * dimension;
	if (quantised) {
		float range[8];
		readFloats(range, 2 * dimension);
		reserveScratch(values * 2);
		in.readFully(m_scratch.begin(), values * 2);
		const uint8_t* q = m_scratch.begin();
		for (int i = 0; i < values; ++i) {
			const int c = i % dimension;
			const float lo = range[c], hi = range[dimension + c];
			const float v = lo + float(q[2 * i] << 8 | q[2 * i + 1]) * (hi - lo) / 65535.f;
			std::memcpy(keys + 4 * i, &v, 4);
		}
	} else {
		reserveScratch(values * 4);
		in.readFully(m_scratch.begin(), values * 4);
		for (int i = 0; i < values; ++i) {
			const float v = beFloat(m_scratch.begin() + 4 * i);
			std::memcpy(keys + 4 * i, &v, 4);
		}
	}
	return sequence;
}

lang::Ptr<TransformAnimation::Float3Anim> SceneReader::readFloat3Channel() {
	SceneInputStream& in = *m_in;
	const int count = in.readInt();
	const bool quantised = count > 2;
	checkCount(count, quantised ? 8 : 16, "key");
	if (quantised && 32 > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid key count ({1}).", m_fileName, count));

	lang::Ptr<TransformAnimation::Float3Anim> channel = new TransformAnimation::Float3Anim;
	float range[8] = {0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f, 0.f};
	if (quantised)
		readFloats(range, 8);
	const int bytes = count * (quantised ? 8 : 16);
	reserveScratch(bytes);
	in.readFully(m_scratch.begin(), bytes);
	const uint8_t* b = m_scratch.begin();
	for (int i = 0; i < count; ++i) {
		float v[4];
		for (int c = 0; c < 4; ++c) {
			if (quantised) {
				const uint8_t* q = b + 8 * i + 2 * c;
				v[c] = range[c] + float(q[0] << 8 | q[1]) * (range[4 + c] - range[c]) / 65535.f;
			} else {
				v[c] = beFloat(b + 16 * i + 4 * c);
			}
		}
		channel->addKey(math::Vector3(v[0], v[1], v[2]), v[3]);
	}
	return channel;
}

} // namespace hgr

#include <hgr/SceneInputStream.h>
#include <io/IOException.h>
#include <lang/Format.h>
#include <cstring>

namespace hgr {

SceneInputStream::SceneInputStream(io::InputStream* in)
	: io::DataInputStream(in), m_position(0), m_end(0), m_left(in->available()), m_version(0),
	  m_exporter(DEFAULT_EXPORTER_WORD), m_flags(0), m_platform(0) {
	m_buffer.resize(m_left < BUFFER_SIZE ? (m_left > 0 ? m_left : 1) : BUFFER_SIZE);
	char tag[4];
	if (read(tag, 4) != 4 || std::memcmp(tag, "hgrf", 4) != 0)
		throw io::IOException(lang::Format("Scene file \"{0}\" does not start with 'hgrf' tag", toString()));
	m_version = readShort();
	if (m_version < MIN_VERSION || m_version > MAX_VERSION)
		throw io::IOException(lang::Format("Scene file \"{0}\" is version {1}.{2}, should be {3}.{4}", toString(),
										   m_version / 100, m_version % 100, MAX_VERSION / 100, MAX_VERSION % 100));
	if (m_version > 190)
		m_exporter = readInt();
	m_flags = readShort();
	if (m_version >= 180)
		m_platform = readShort();
}

SceneInputStream::~SceneInputStream() {}

int SceneInputStream::read(void* buf, int n) {
	if (n <= 0)
		return 0;
	uint8_t* out = static_cast<uint8_t*>(buf);
	int done = 0;
	while (done < n) {
		const int buffered = m_end - m_position;
		if (buffered > 0) {
			const int k = n - done < buffered ? n - done : buffered;
			std::memcpy(out + done, m_buffer.begin() + m_position, size_t(k));
			m_position += k;
			done += k;
			continue;
		}
		const int want = n - done;
		if (want >= m_buffer.size()) {
			const int got = io::DataInputStream::read(out + done, want);
			if (got <= 0)
				break;
			done += got;
			continue;
		}
		const int got = io::DataInputStream::read(m_buffer.begin(), m_buffer.size());
		if (got <= 0)
			break;
		m_position = 0;
		m_end = got;
	}
	m_left = done < m_left ? m_left - done : 0;
	return done;
}

int SceneInputStream::skip(int n) {
	if (n <= 0)
		return 0;
	int done = 0;
	const int buffered = m_end - m_position;
	if (buffered > 0) {
		done = n < buffered ? n : buffered;
		m_position += done;
	}
	if (done < n) {
		const int skipped = io::DataInputStream::skip(n - done);
		if (skipped > 0)
			done += skipped;
	}
	m_left = done < m_left ? m_left - done : 0;
	return done;
}

void SceneInputStream::readCheckId(int expected) {
	const int id = readInt();
	if (id != expected)
		throw io::IOException(lang::Format("Failed to load scene file \"{0}\", check id was {1,x} but should be {2,x}",
										   toString(), id, expected));
}

} // namespace hgr

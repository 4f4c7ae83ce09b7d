#include <hgr/SceneInputStream.h>
#include <io/IOException.h>
#include <lang/Format.h>
#include <cstring>

namespace hgr {

SceneInputStream::SceneInputStream(io::InputStream* in)
	: io::DataInputStream(in), m_left(in->available()), m_version(0), m_exporter(DEFAULT_EXPORTER_WORD),
	  m_flags(0), m_platform(0) {
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
	const int count = io::DataInputStream::read(buf, n);
	if (count > 0)
		m_left = count < m_left ? m_left - count : 0;
	return count;
}

int SceneInputStream::skip(int n) {
	const int count = io::DataInputStream::skip(n);
	if (count > 0)
		m_left = count < m_left ? m_left - count : 0;
	return count;
}

void SceneInputStream::readCheckId(int expected) {
	const int id = readInt();
	if (id != expected)
		throw io::IOException(lang::Format("Failed to load scene file \"{0}\", check id was {1,x} but should be {2,x}",
										   toString(), id, expected));
}

} // namespace hgr

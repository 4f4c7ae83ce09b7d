#include <gr/VertexFormat.h>
#include <cstdio>
#include <cstring>

namespace gr {

namespace {

const char* const DATA_TYPE_NAMES[VertexFormat::DT_SIZE] = {
	"DT_POSITION", "DT_POSITIONT", "DT_BONEWEIGHTS", "DT_BONEINDICES", "DT_NORMAL", "DT_DIFFUSE",
	"DT_SPECULAR", "DT_TEX0",	   "DT_TEX1",		 "DT_TEX2",		   "DT_TEX3",	"DT_TANGENT",
};

const char* const DATA_FORMAT_NAMES[VertexFormat::DF_SIZE] = {
	"NONE", "S_32", "S_16", "S_8", "V2_32", "V2_16", "V2_8", "V3_32", "V3_16", "V3_8", "V4_32", "V4_16", "V4_8", "V4_5",
};

const int DATA_FORMAT_SIZES[VertexFormat::DF_SIZE] = {0, 4, 2, 1, 8, 4, 2, 12, 6, 3, 16, 8, 4, 2};
const int DATA_FORMAT_DIMENSIONS[VertexFormat::DF_SIZE] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 4};

} // namespace

VertexFormat::VertexFormat() {
	memset(m_data, 0, sizeof(m_data));
	m_data[7] = 1;
}

VertexFormat& VertexFormat::setDataFormat(int type, int df) {
	if (type < 0 || type >= DT_SIZE)
		return *this;
	uint8_t& b = m_data[type >> 1];
	const int v = df & 15;
	if (type & 1)
		b = uint8_t((b & 0x0F) | (v << 4));
	else
		b = uint8_t((b & 0xF0) | v);
	return *this;
}

int VertexFormat::getDataFormat(int type) const {
	if (type < 0 || type >= DT_SIZE)
		return NONE;
	const uint8_t b = m_data[type >> 1];
	return (type & 1) ? (b >> 4) : (b & 15);
}

VertexFormat& VertexFormat::addPosition(int df) {
	return setDataFormat(DT_POSITION, df);
}
VertexFormat& VertexFormat::addPositionT(int df) {
	return setDataFormat(DT_POSITIONT, df);
}
VertexFormat& VertexFormat::addNormal(int df) {
	return setDataFormat(DT_NORMAL, df);
}
VertexFormat& VertexFormat::addDiffuse(int df) {
	return setDataFormat(DT_DIFFUSE, df);
}
VertexFormat& VertexFormat::addSpecular(int df) {
	return setDataFormat(DT_SPECULAR, df);
}
VertexFormat& VertexFormat::addTangent(int df) {
	return setDataFormat(DT_TANGENT, df);
}

VertexFormat& VertexFormat::addBones(int weightsFormat, int indicesFormat) {
	setDataFormat(DT_BONEWEIGHTS, weightsFormat);
	return setDataFormat(DT_BONEINDICES, indicesFormat);
}

VertexFormat& VertexFormat::addTextureCoordinate(int df) {
	for (int t = DT_TEX0; t <= DT_TEX3; ++t) {
		if (getDataFormat(t) == NONE)
			return setDataFormat(t, df);
	}
	return *this;
}

int VertexFormat::textureCoordinates() const {
	int n = 0;
	while (n < 4 && getDataFormat(DT_TEX0 + n) != NONE)
		++n;
	return n;
}

int VertexFormat::getTextureCoordinateFormat(int set) const {
	if (set < 0 || set > 3)
		return NONE;
	return getDataFormat(DT_TEX0 + set);
}

VertexFormat& VertexFormat::setAlignment(int n) {
	m_data[7] = uint8_t(n);
	return *this;
}

int VertexFormat::getVertexSize() const {
	int sum = 0;
	for (int t = 0; t < DT_SIZE; ++t)
		sum += getDataFormatSize(getDataFormat(t));
	const int a = m_data[7];
	return (sum + a - 1) & -a;
}

bool VertexFormat::operator==(const VertexFormat& other) const {
	return memcmp(m_data, other.m_data, 6) == 0;
}

lang::String VertexFormat::toString() const {
	char buf[600];
	int len = 0;
	buf[len++] = '(';
	bool first = true;
	for (int t = 0; t < DT_SIZE; ++t) {
		const int df = getDataFormat(t);
		if (df == NONE)
			continue;
		const char* fname = df < DF_SIZE ? DATA_FORMAT_NAMES[df] : "";
		// Every entry fits: twelve of the longest come to under 300 characters.
		len += snprintf(buf + len, sizeof(buf) - len, "%s%s=%s", first ? "" : ", ", DATA_TYPE_NAMES[t], fname);
		first = false;
	}
	buf[len++] = ')';
	buf[len] = 0;
	return lang::String(buf);
}

int VertexFormat::getDataFormatSize(int df) {
	return df > 0 && df < DF_SIZE ? DATA_FORMAT_SIZES[df] : 0;
}

int VertexFormat::getDataFormatDimension(int df) {
	return df > 0 && df < DF_SIZE ? DATA_FORMAT_DIMENSIONS[df] : 0;
}

int VertexFormat::getDataSize(int df, int count) {
	if (count <= 0)
		return 0;
	switch (df) {
	case S_32:
	case V2_16:
	case V4_8:
		return 4 * count;
	case S_16:
	case V2_8:
	case V4_5:
		return (2 * count + 3) & ~3;
	case S_8:
		return (count + 3) & ~3;
	case V2_32:
	case V4_16:
		return 8 * count;
	case V3_32:
		return 12 * count;
	case V3_16:
		return (6 * count + 3) & ~3;
	case V3_8:
		return (3 * count + 3) & ~3;
	case V4_32:
		return 16 * count;
	default:
		return 0;
	}
}

const char* VertexFormat::getDataFormatName(int df) {
	return df >= 0 && df < DF_SIZE ? DATA_FORMAT_NAMES[df] : "";
}

const char* VertexFormat::getDataTypeName(int type) {
	return type >= 0 && type < DT_SIZE ? DATA_TYPE_NAMES[type] : "";
}

int VertexFormat::parseDataFormat(const char* name) {
	if (!name)
		return DF_SIZE;
	for (int i = 0; i < DF_SIZE; ++i) {
		if (!strcmp(name, DATA_FORMAT_NAMES[i]))
			return i;
	}
	return DF_SIZE;
}

int VertexFormat::parseDataFormat(const lang::String& name) {
	return parseDataFormat(name.c_str());
}

int VertexFormat::parseDataType(const char* name) {
	if (!name)
		return DT_SIZE;
	for (int i = 0; i < DT_SIZE; ++i) {
		if (!strcmp(name, DATA_TYPE_NAMES[i]))
			return i;
	}
	return DT_SIZE;
}

int VertexFormat::parseDataType(const lang::String& name) {
	return parseDataType(name.c_str());
}

} // gr

#include <gr/ImageFile.h>

#include <gr/PvrFile.h>
#include <gr/StbInputCheck.h>

#include <stb_image.h>

#include <io/RegularFile.h>

#include <unistd.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>

namespace lumaroll {
namespace {

// Largest image stb_image may decode, in pixels (4096 x 4096): a tiny
// compressed header can otherwise claim gigabytes of pixels.
const long long kMaxDecodedPixels = 1LL << 24;

bool fail(ImageData& image, std::string text) {
	image.levels.clear();
	image.error = std::move(text);
	return false;
}

// Reads the whole of a regular file into out. Returns false when it does not
// open, is not a regular file (a named pipe would block, a directory's seek
// size means nothing) or cannot be read whole.
bool readWholeFile(const std::string& path, std::unique_ptr<std::uint8_t[]>& out, std::size_t& outSize) {
	const int fd = io::openRegularFile(path.c_str());
	if (fd < 0)
		return false;
	std::FILE* file = ::fdopen(fd, "rb");
	if (!file) {
		::close(fd);
		return false;
	}
	bool ok = std::fseek(file, 0, SEEK_END) == 0;
	const long size = ok ? std::ftell(file) : -1;
	ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
	if (ok) {
		// Not zeroed first: the read fills it.
		outSize = std::size_t(size);
		out.reset(new std::uint8_t[outSize ? outSize : 1]);
		ok = outSize == 0 || std::fread(out.get(), 1, outSize, file) == outSize;
	}
	std::fclose(file);
	return ok;
}

bool decodeWithStb(const std::uint8_t* bytes, std::size_t size, ImageData& image) {
	static const stbi_uc kEmpty = 0;
	if (size > std::size_t(INT_MAX))
		return fail(image, "stb_image: too large");
	const stbi_uc* data = size ? bytes : &kEmpty;
	if (const char* reason = stbInputProblem(data, size))
		return fail(image, std::string("stb_image: ") + reason);
	int width = 0, height = 0, channels = 0;
	if (stbi_info_from_memory(data, int(size), &width, &height, &channels) &&
		static_cast<long long>(width) * height > kMaxDecodedPixels)
		return fail(image, "stb_image: too large");

	stbi_uc* pixels = stbi_load_from_memory(data, int(size), &width, &height, &channels, 4);
	if (!pixels) {
		const char* reason = stbi_failure_reason();
		return fail(image, std::string("stb_image: ") + (reason ? reason : "unknown failure"));
	}
	// Some of its loaders accept a size of 0 (a BMP 0 rows high); that is no image.
	if (width < 1 || height < 1) {
		stbi_image_free(pixels);
		return fail(image, "stb_image: 0-pixel image");
	}
	try {
		ImageData::Level level;
		level.width = width;
		level.height = height;
		level.pixels.assign(pixels, pixels + std::size_t(width) * std::size_t(height) * 4);
		image.levels.push_back(std::move(level));
	} catch (...) {
		stbi_image_free(pixels);
		throw;
	}
	stbi_image_free(pixels);
	image.hasAlpha = channels == 2 || channels == 4;
	return true;
}

bool decode(const std::uint8_t* bytes, std::size_t size, const std::string& name, ImageData& image) {
	std::string extension;
	if (name.size() >= 5) {
		extension = name.substr(name.size() - 4);
		for (char& c : extension)
			c = char(std::tolower(static_cast<unsigned char>(c)));
	}
	if (size >= kLegacyPvrHeaderSize && std::memcmp(bytes + 44, "PVR!", 4) == 0)
		return decodeLegacyPvr(bytes, size, image);
	if (size >= 4 && std::memcmp(bytes, "PVR\x03", 4) == 0)
		return fail(image, "PVR v3 not supported yet");
	if (extension == ".pvr")
		return fail(image, ".pvr file without a known signature");
	return decodeWithStb(bytes, size, image);
}

void clear(ImageData& image) {
	image.levels.clear();
	image.hasAlpha = false;
	image.flipVertical = false;
	image.error.clear();
}

} // namespace

bool decodeImageFile(const std::uint8_t* bytes, std::size_t size, const std::string& name, ImageData& image) {
	try {
		clear(image);
		return decode(bytes, size, name, image);
	} catch (const std::bad_alloc&) {
		return fail(image, "out of memory");
	} catch (const std::exception& e) {
		return fail(image, e.what());
	}
}

bool loadImageFile(const std::string& path, ImageData& image) {
	try {
		clear(image);
		std::unique_ptr<std::uint8_t[]> bytes;
		std::size_t size = 0;
		if (!readWholeFile(path, bytes, size))
			return fail(image, "could not open " + path);
		return decode(bytes.get(), size, path, image);
	} catch (const std::bad_alloc&) {
		return fail(image, "out of memory");
	} catch (const std::exception& e) {
		return fail(image, e.what());
	}
}

} // namespace lumaroll

#include <io/InputStream.h>

namespace io {

int InputStream::skip(int n) {
	char buf[256];
	int skipped = 0;
	while (skipped < n) {
		int chunk = n - skipped < 256 ? n - skipped : 256;
		int got = read(buf, chunk);
		if (got <= 0)
			break;
		skipped += got;
	}
	return skipped;
}

} // namespace io

#include "Quantize.h"

#include <libimagequant.h>
#include <memory>

// libimagequant spreads its work over OpenMP threads; on a camera-sized image starting them
// costs more than they save, so a small image is quantised on the calling thread alone. The
// OpenMP runtime comes with libimagequant, so its functions are taken from there if present.
extern "C" __attribute__((weak)) int omp_get_max_threads();
extern "C" __attribute__((weak)) void omp_set_num_threads(int count);

namespace {

class SingleThreadForSmallImages {
  public:
    explicit SingleThreadForSmallImages(size_t pixels) {
        if (pixels < kSmall && omp_get_max_threads && omp_set_num_threads) {
            before = omp_get_max_threads();
            omp_set_num_threads(1);
        }
    }
    ~SingleThreadForSmallImages() {
        if (before > 0)
            omp_set_num_threads(before);
    }
    SingleThreadForSmallImages(const SingleThreadForSmallImages&) = delete;
    SingleThreadForSmallImages& operator=(const SingleThreadForSmallImages&) = delete;

  private:
    static constexpr size_t kSmall = 1 << 19;
    int before = 0;
};

struct Deleter {
    void operator()(liq_attr* attr) const { liq_attr_destroy(attr); }
    void operator()(liq_image* image) const { liq_image_destroy(image); }
    void operator()(liq_result* result) const { liq_result_destroy(result); }
};

} // namespace

bool QuantizeTo256(const Image& image, Image& retIndexed) {
    if (image.indexed)
        return false;
    const size_t count = size_t(image.width) * image.height;
    Bytes rgba(count * 4);
    for (size_t i = 0; i < count; ++i) {
        rgba[4 * i] = image.pixels[3 * i + 2];
        rgba[4 * i + 1] = image.pixels[3 * i + 1];
        rgba[4 * i + 2] = image.pixels[3 * i];
        rgba[4 * i + 3] = 255;
    }
    const SingleThreadForSmallImages threads(count);
    std::unique_ptr<liq_attr, Deleter> attr(liq_attr_create());
    // The fastest setting: the colours differ little from slower ones on reply-sized images.
    if (!attr || liq_set_max_colors(attr.get(), 256) != LIQ_OK ||
        liq_set_speed(attr.get(), 10) != LIQ_OK)
        return false;
    std::unique_ptr<liq_image, Deleter> input(
        liq_image_create_rgba(attr.get(), rgba.data(), image.width, image.height, 0));
    liq_result* raw = nullptr;
    if (!input || liq_image_quantize(input.get(), attr.get(), &raw) != LIQ_OK)
        return false;
    std::unique_ptr<liq_result, Deleter> result(raw);
    Allocate(retIndexed, image.width, image.height, true);
    if (liq_set_dithering_level(result.get(), 1.0f) != LIQ_OK ||
        liq_write_remapped_image(result.get(), input.get(), retIndexed.pixels.data(),
                                 retIndexed.pixels.size()) != LIQ_OK)
        return false;
    const liq_palette* palette = liq_get_palette(result.get());
    for (unsigned i = 0; i < palette->count && i < 256; ++i)
        retIndexed.palette[i] = {palette->entries[i].r, palette->entries[i].g,
                                 palette->entries[i].b};
    return true;
}

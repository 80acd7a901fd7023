#include "GifFormat.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>

namespace {

int AppendToFile(GifFileType* gif, const GifByteType* data, int size) {
    auto* file = static_cast<Bytes*>(gif->UserData);
    try {
        file->insert(file->end(), data, data + size);
        return size;
    } catch (...) {
        return 0;
    }
}

struct ReadSource {
    const Bytes* file;
    size_t position = 0;
};

// Fewer bytes than asked for tell giflib the file has ended.
int ReadFromFile(GifFileType* gif, GifByteType* data, int size) {
    auto* source = static_cast<ReadSource*>(gif->UserData);
    const size_t take =
        std::min(size_t(size < 0 ? 0 : size), source->file->size() - source->position);
    if (take > 0)
        std::memcpy(data, source->file->data() + source->position, take);
    source->position += take;
    return int(take);
}

// The rows of an interlaced image arrive in four passes.
bool ReadLines(GifFileType* gif, Image& image) {
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    const int passes = gif->Image.Interlace ? 4 : 1;
    for (int pass = 0; pass < passes; ++pass) {
        const int step = gif->Image.Interlace ? kStep[pass] : 1;
        for (int y = gif->Image.Interlace ? kStart[pass] : 0; y < image.height; y += step)
            if (DGifGetLine(gif, image.Row(y), image.width) != GIF_OK)
                return false;
    }
    return true;
}

bool SkipExtension(GifFileType* gif) {
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK)
        return false;
    while (block)
        if (DGifGetExtensionNext(gif, &block) != GIF_OK)
            return false;
    return true;
}

bool ReadFirstImage(GifFileType* gif, Image& image) {
    for (;;) {
        GifRecordType record = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &record) != GIF_OK)
            return false;
        if (record == EXTENSION_RECORD_TYPE) {
            if (!SkipExtension(gif))
                return false;
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE || DGifGetImageDesc(gif) != GIF_OK)
            return false;
        const ColorMapObject* colours = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
        if (!colours || !AcceptableSize(gif->Image.Width, gif->Image.Height))
            return false;
        Allocate(image, gif->Image.Width, gif->Image.Height, true);
        for (int i = 0; i < colours->ColorCount && i < 256; ++i)
            image.palette[size_t(i)] = {colours->Colors[i].Red, colours->Colors[i].Green,
                                        colours->Colors[i].Blue};
        return ReadLines(gif, image);
    }
}

} // namespace

bool EncodeGif(const Image& image, Bytes& retFile) {
    if (!image.indexed)
        return false;
    retFile.clear();
    int error = 0;
    GifFileType* gif = EGifOpen(&retFile, AppendToFile, &error);
    if (!gif)
        return false;
    ColorMapObject* colours = GifMakeMapObject(256, nullptr);
    bool written = colours != nullptr;
    if (written) {
        for (int i = 0; i < 256; ++i)
            colours->Colors[i] = {image.palette[size_t(i)].red, image.palette[size_t(i)].green,
                                  image.palette[size_t(i)].blue};
        written = EGifPutScreenDesc(gif, image.width, image.height, 8, 0, colours) == GIF_OK &&
                  EGifPutImageDesc(gif, 0, 0, image.width, image.height, false, nullptr) == GIF_OK;
        GifFreeMapObject(colours);
    }
    for (int y = 0; written && y < image.height; ++y)
        written = EGifPutLine(gif, const_cast<unsigned char*>(image.Row(y)), image.width) == GIF_OK;
    return EGifCloseFile(gif, &error) == GIF_OK && written;
}

bool DecodeGif(const Bytes& file, Image& retImage) {
    ReadSource source{&file};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadFromFile, &error);
    if (!gif)
        return false;
    const bool read = ReadFirstImage(gif, retImage);
    DGifCloseFile(gif, &error);
    return read;
}

#include "TestJpegs.h"

#include "TestPictures.h"

#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

QImage DetailedPicture(int width, int height, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(96));
            picture.setPixel(x, y, qRgb((x * 255 / width + noise) % 256, (y * 255 / height + noise / 2) % 256,
                                        (x + y + noise * 2) % 256));
        }
    return picture;
}

QByteArray EncodeJpeg(const QImage& picture, const JpegKind& kind, int quality)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = kind.grey ? 1 : kind.cmyk ? 4 : 3;
    info.in_color_space = kind.grey ? JCS_GRAYSCALE : kind.cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&info);
    if (kind.rgb)
        jpeg_set_colorspace(&info, JCS_RGB);
    if (!kind.grey && !kind.cmyk) {
        info.comp_info[0].h_samp_factor = kind.hSamp;
        info.comp_info[0].v_samp_factor = kind.vSamp;
    }
    jpeg_set_quality(&info, quality, TRUE);
    if (kind.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = kind.arithmetic ? TRUE : FALSE;
    info.restart_in_rows = kind.restartRows;
    jpeg_start_compress(&info, TRUE);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> row(std::size_t(picture.width()) * 4);
    while (info.next_scanline < info.image_height) {
        const uchar* src = rgb.constScanLine(int(info.next_scanline));
        for (int x = 0; x < picture.width(); ++x) {
            const uchar r = src[3 * x], g = src[3 * x + 1], b = src[3 * x + 2];
            if (kind.grey) {
                row[std::size_t(x)] = uchar(qGray(r, g, b));
            } else if (kind.cmyk) {
                // Adobe CMYK is stored inverted.
                const uchar k = uchar(qMin(255 - r, qMin(255 - g, 255 - b)));
                row[4 * std::size_t(x)] = r;
                row[4 * std::size_t(x) + 1] = g;
                row[4 * std::size_t(x) + 2] = b;
                row[4 * std::size_t(x) + 3] = uchar(255 - k);
            } else {
                row[3 * std::size_t(x)] = r;
                row[3 * std::size_t(x) + 1] = g;
                row[3 * std::size_t(x) + 2] = b;
            }
        }
        JSAMPROW line = row.data();
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), qsizetype(size));
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

bool WriteJpeg(const QString& path, const QImage& picture, const JpegKind& kind)
{
    return TestPictures::WriteBytes(path, EncodeJpeg(picture, kind));
}

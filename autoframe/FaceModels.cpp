#include "FaceModels.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <dlib/image_processing/shape_predictor.h>
#include <dlib/revision.h>

#include <cstring>
#include <fstream>
#include <sstream>

FaceModels::FaceModels(std::unique_ptr<QFile> mapped, std::vector<char> owned, const ShapeLayout& layout,
                       const char* shapeData, Detector detector)
    : file(std::move(mapped))
    , bytes(std::move(owned))
    , landmarks(layout, shapeData)
    , master(std::move(detector))
{
}

FaceModels::~FaceModels() = default;

std::vector<dlib::rect_detection> FaceModels::detect(const dlib::array2d<unsigned char>& grey) const
{
    // dlib's detector keeps its feature pyramid inside itself, so threads
    // searching at once each need their own; copies are kept for reuse.
    std::unique_ptr<Detector> detector;
    {
        const std::lock_guard<std::mutex> hold(idleLock);
        if (!idle.empty()) {
            detector = std::move(idle.back());
            idle.pop_back();
        }
    }
    if (!detector)
        detector = std::make_unique<Detector>(master);
    std::vector<dlib::rect_detection> found;
    (*detector)(grey, found);
    const std::lock_guard<std::mutex> hold(idleLock);
    idle.push_back(std::move(detector));
    return found;
}

namespace FaceModelFiles {

namespace {

constexpr char Magic[8] = {'R', 'i', 't', 'r', 'a', 'x', 'F', 'M'};
constexpr quint32 Version = 1;
constexpr quint32 DlibVersion = DLIB_MAJOR_VERSION * 10000 + DLIB_MINOR_VERSION * 100 + DLIB_PATCH_VERSION;

struct Header {
    char magic[8];
    quint32 version;
    quint32 headerBytes;
    quint64 modelSize;     // of dlib's landmark file the cache was made from
    qint64 modelTime;      // its modification, ms since the epoch
    quint32 dlibVersion;   // the detector and the trees' meaning belong to it
    quint32 unused;
    ShapeLayout layout;
    quint32 padding;
    quint64 detectorBytes; // dlib's serialised detector, after the arrays
    quint64 fileBytes;
    quint64 checksum;      // of everything after the header
};
static_assert(sizeof(Header) % 8 == 0);

struct ModelKey {
    quint64 size = 0;
    qint64 time = 0;
};

quint64 Rotated(quint64 v, int bits)
{
    return (v << bits) | (v >> (64 - bits));
}

// A 64-bit hash in four independent lanes, fast enough to check the
// whole 65 MB on every start (bit flips in the leaves would otherwise pass).
quint64 Checksum(const char* data, quint64 size)
{
    constexpr quint64 P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full;
    quint64 lane[4] = {P1, P2, ~P1, ~P2};
    quint64 at = 0;
    for (; at + 32 <= size; at += 32)
        for (int i = 0; i < 4; ++i) {
            quint64 word;
            std::memcpy(&word, data + at + 8 * i, 8);
            lane[i] = Rotated(lane[i] + word * P2, 31) * P1;
        }
    quint64 hash = size * P1;
    for (int i = 0; i < 4; ++i)
        hash = Rotated(hash ^ (Rotated(lane[i], 7 + 11 * i) * P2), 27) * P1;
    for (; at < size; ++at)
        hash = Rotated(hash ^ (quint64((unsigned char)data[at]) * P1), 11) * P2;
    return hash ^ (hash >> 29);
}

// The arrays of dlib's predictor in our layout; false when its trees are
// not all alike, which our layout cannot hold.
using Forests = std::vector<std::vector<dlib::impl::regression_tree>>;
bool Flatten(const dlib::matrix<float, 0, 1>& initial, const Forests& forests,
             const std::vector<std::vector<unsigned long>>& anchors,
             const std::vector<std::vector<dlib::vector<float, 2>>>& deltas, ShapeLayout& layout,
             std::vector<char>& out)
{
    if (forests.empty() || forests[0].empty() || anchors.size() != forests.size() || deltas.size() != forests.size())
        return false;
    layout = {quint32(initial.size() / 2), quint32(forests.size()), quint32(forests[0].size()),
              quint32(forests[0][0].splits.size()), quint32(anchors[0].size())};
    if (!layout.plausible() || initial.size() != long(layout.initialFloats()))
        return false;
    out.assign(layout.bytes(), 0);
    char* at = out.data();
    auto put = [&at](const void* from, size_t size) {
        std::memcpy(at, from, size);
        at += size;
    };
    put(&initial(0), layout.initialFloats() * sizeof(float));
    for (const auto& cascade : anchors) {
        if (cascade.size() != layout.pixels)
            return false;
        for (unsigned long anchor : cascade) {
            const quint32 a = quint32(anchor);
            put(&a, sizeof a);
        }
    }
    for (const auto& cascade : deltas) {
        if (cascade.size() != layout.pixels)
            return false;
        for (const auto& d : cascade) {
            const float xy[2] = {d.x(), d.y()};
            put(xy, sizeof xy);
        }
    }
    for (const auto& forest : forests) {
        if (forest.size() != layout.trees)
            return false;
        for (const auto& tree : forest) {
            if (tree.splits.size() != layout.splits || tree.leaf_values.size() != layout.splits + 1)
                return false;
            for (const auto& s : tree.splits) {
                const ShapeSplit split{quint32(s.idx1), quint32(s.idx2), s.thresh};
                put(&split, sizeof split);
            }
        }
    }
    for (const auto& forest : forests)
        for (const auto& tree : forest)
            for (const auto& leaf : tree.leaf_values) {
                if (leaf.size() != long(layout.parts) * 2)
                    return false;
                put(&leaf(0), size_t(leaf.size()) * sizeof(float));
            }
    return true;
}

// dlib's landmark file read the way dlib's deserialize(shape_predictor)
// reads it, member by member, so that its arrays can be kept.
bool ReadModelFile(const QString& path, ShapeLayout& layout, std::vector<char>& arrays, QString& problem)
{
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    if (!in) {
        problem = QStringLiteral("cannot open %1").arg(path);
        return false;
    }
    try {
        int version = 0;
        dlib::deserialize(version, in);
        if (version != 1)
            throw dlib::serialization_error("unknown version");
        dlib::matrix<float, 0, 1> initial;
        Forests forests;
        std::vector<std::vector<unsigned long>> anchors;
        std::vector<std::vector<dlib::vector<float, 2>>> deltas;
        dlib::deserialize(initial, in);
        dlib::deserialize(forests, in);
        dlib::deserialize(anchors, in);
        dlib::deserialize(deltas, in);
        if (!Flatten(initial, forests, anchors, deltas, layout, arrays)) {
            problem = QStringLiteral("%1 is not a model of the expected shape").arg(path);
            return false;
        }
    } catch (const std::exception& e) {
        problem = QStringLiteral("%1 cannot be read: %2").arg(path, QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

std::shared_ptr<const FaceModels> ReadCache(const QString& path, const ModelKey& key, QString& problem)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("no cache");
        return {};
    }
    Header header;
    if (file->size() < qint64(sizeof header) || file->read(reinterpret_cast<char*>(&header), sizeof header) != sizeof header
        || std::memcmp(header.magic, Magic, sizeof Magic) != 0 || header.version != Version
        || header.headerBytes != sizeof header) {
        problem = QStringLiteral("the cache is not ours or of another version");
        return {};
    }
    if (header.modelSize != key.size || header.modelTime != key.time || header.dlibVersion != DlibVersion) {
        problem = QStringLiteral("the cache belongs to another model");
        return {};
    }
    const ShapeLayout& layout = header.layout;
    if (!layout.plausible() || header.fileBytes != quint64(file->size())
        || header.fileBytes != sizeof header + layout.bytes() + header.detectorBytes) {
        problem = QStringLiteral("the cache has the wrong size");
        return {};
    }
    const char* data = reinterpret_cast<const char*>(file->map(0, file->size()));
    if (!data || Checksum(data + sizeof header, header.fileBytes - sizeof header) != header.checksum) {
        problem = QStringLiteral("the cache is damaged");
        return {};
    }
    FaceModels::Detector detector;
    try {
        std::istringstream blob(std::string(data + sizeof header + layout.bytes(), header.detectorBytes));
        dlib::deserialize(detector, blob);
    } catch (const std::exception& e) {
        problem = QStringLiteral("the cache's detector cannot be read: %1").arg(QString::fromLocal8Bit(e.what()));
        return {};
    }
    auto models = std::make_shared<const FaceModels>(std::move(file), std::vector<char>(), layout, data + sizeof header,
                                                     std::move(detector));
    if (!models->shape().consistent()) {
        problem = QStringLiteral("the cache's trees point outside their arrays");
        return {};
    }
    return models;
}

bool WriteCache(const QString& path, const ModelKey& key, const ShapeLayout& layout, const std::vector<char>& arrays,
                const std::string& detector)
{
    Header header{};
    std::memcpy(header.magic, Magic, sizeof Magic);
    header.version = Version;
    header.headerBytes = sizeof header;
    header.modelSize = key.size;
    header.modelTime = key.time;
    header.dlibVersion = DlibVersion;
    header.layout = layout;
    header.detectorBytes = detector.size();
    header.fileBytes = sizeof header + arrays.size() + detector.size();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // The checksum runs over the arrays and the detector as they lie in the file.
    std::vector<char> tail(arrays.size() + detector.size());
    std::memcpy(tail.data(), arrays.data(), arrays.size());
    std::memcpy(tail.data() + arrays.size(), detector.data(), detector.size());
    header.checksum = Checksum(tail.data(), tail.size());
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(tail.data(), qint64(tail.size()));
    return out.commit();
}

} // namespace

QString CachePath(const QString& cacheFolder)
{
    return QDir(cacheFolder).filePath(QStringLiteral("face-models.bin"));
}

Loaded Load(const QString& modelPath, const QString& cacheFolder)
{
    Loaded loaded;
    const QFileInfo model(modelPath);
    if (!model.isFile()) {
        loaded.problem = QStringLiteral("%1 does not exist").arg(modelPath);
        return loaded;
    }
    const ModelKey key{quint64(model.size()), model.lastModified().toMSecsSinceEpoch()};
    const QString cache = CachePath(cacheFolder);
    loaded.models = ReadCache(cache, key, loaded.problem);
    if (loaded.models) {
        loaded.source = Source::Cache;
        return loaded;
    }
    ShapeLayout layout;
    std::vector<char> arrays;
    if (!ReadModelFile(modelPath, layout, arrays, loaded.problem))
        return loaded;
    FaceModels::Detector detector = dlib::get_frontal_face_detector();
    std::ostringstream blob;
    dlib::serialize(detector, blob);
    if (!WriteCache(cache, key, layout, arrays, blob.str()))
        loaded.problem += QStringLiteral("; the cache cannot be written in %1").arg(cacheFolder);
    const char* data = arrays.data();
    auto models = std::make_shared<const FaceModels>(nullptr, std::move(arrays), layout, data, std::move(detector));
    if (!models->shape().consistent()) {
        loaded.problem = QStringLiteral("%1 has trees that point outside their arrays").arg(modelPath);
        return loaded;
    }
    loaded.models = std::move(models);
    loaded.source = Source::ModelFile;
    return loaded;
}

} // namespace FaceModelFiles

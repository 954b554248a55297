#include "LandmarkModel.h"

#include "FaceModels.h"

#include <QDir>
#include <QStandardPaths>

#include <future>
#include <mutex>
#include <thread>

namespace LandmarkModel {

namespace {

struct Loader {
    std::once_flag started;
    std::shared_future<std::shared_ptr<const FaceModels>> models;
    std::thread thread;

    // A program that quits while the models are still being read waits
    // for the reading rather than tearing down what it uses.
    ~Loader()
    {
        if (thread.joinable())
            thread.join();
    }
};

Loader& Instance()
{
    static Loader loader;
    return loader;
}

} // namespace

QString ModelPath()
{
    const QString chosen = qEnvironmentVariable("RITRAX_LANDMARK_MODEL");
    return chosen.isEmpty() ? QStringLiteral(RITRAX_DLIB_MODEL) : chosen;
}

QString CacheFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir(base).filePath(QStringLiteral("Kelm/ritrax"));
}

void StartLoading()
{
    Loader& loader = Instance();
    std::call_once(loader.started, [&loader] {
        std::packaged_task<std::shared_ptr<const FaceModels>()> task(
            [model = ModelPath(), cache = CacheFolder()] { return FaceModelFiles::Load(model, cache).models; });
        loader.models = task.get_future().share();
        loader.thread = std::thread(std::move(task));
    });
}

std::shared_ptr<const FaceModels> Shared()
{
    StartLoading();
    return Instance().models.get();
}

bool Available()
{
    return Shared() != nullptr;
}

} // namespace LandmarkModel

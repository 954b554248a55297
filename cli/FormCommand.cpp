#include "FormCommand.h"

#include "FormWork.h"
#include "LandmarkModel.h"
#include "PictureCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QThread>

#include <mutex>
#include <optional>
#include <variant>
#include <vector>

namespace FormCommand {

namespace {

struct Request {
    QStringList sources;
    FormWork::Settings settings;
    int workers = 1;
};

// Two spellings of one folder (a link, "..", a trailing slash) are the
// same folder.
QString FolderIdentity(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

std::optional<QString> ReadFolder(const CommandLine::Parsed& a, const QString& option, QString& folder)
{
    if (!a.has(option))
        return QStringLiteral("Manca l'opzione %1 CARTELLA").arg(option);
    folder = a.value(option);
    if (folder.isEmpty())
        return QStringLiteral("Manca la cartella dell'opzione %1").arg(option);
    return std::nullopt;
}

std::variant<Request, QString> ReadRequest(const CommandLine::Parsed& a)
{
    Request r;
    r.sources = a.positional;
    if (r.sources.isEmpty())
        return QStringLiteral("Manca il modulo da inquadrare (uno o più file)");
    if (const auto problem = ReadFolder(a, PhotoFolderOption, r.settings.photoFolder))
        return *problem;
    if (const auto problem = ReadFolder(a, SignatureFolderOption, r.settings.signatureFolder))
        return *problem;
    // The signature's JPEG would take the photo's name in the same folder.
    if (FolderIdentity(r.settings.photoFolder) == FolderIdentity(r.settings.signatureFolder))
        return QStringLiteral("%1 e %2 indicano la stessa cartella (%3): la firma sostituirebbe la foto")
            .arg(PhotoFolderOption, SignatureFolderOption, r.settings.photoFolder);
    r.settings.dpi200 = a.has(PictureCommands::Dpi200Option);
    r.settings.blackAndWhite = a.has(PictureCommands::BlackAndWhiteOption);
    r.workers = qMax(1, QThread::idealThreadCount());
    if (a.has(WorkersOption)) {
        bool ok = false;
        r.workers = a.value(WorkersOption).trimmed().toInt(&ok);
        if (!ok || r.workers < 1 || r.workers > MaxWorkers)
            return QStringLiteral("Numero di lavori non valido: \"%1\" (atteso un numero intero da 1 a %2)")
                .arg(a.value(WorkersOption))
                .arg(MaxWorkers);
    }
    return r;
}

std::optional<QString> FolderProblem(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.exists())
        return QStringLiteral("La cartella %1 non esiste").arg(folder);
    if (!info.isDir())
        return QStringLiteral("%1 non è una cartella").arg(folder);
    if (!info.isWritable())
        return QStringLiteral("Nella cartella %1 non si possono scrivere file").arg(folder);
    return std::nullopt;
}

// The forms' lines in the order given, each printed as soon as it and all
// those before it are known, whichever worker finished it.
class InOrder {
public:
    InOrder(const QStringList& sources, Cli::Streams& streams)
        : sources_(sources), streams_(streams), outcomes_(size_t(sources.size()))
    {
    }

    void Put(qsizetype form, FormWork::Outcome outcome)
    {
        const std::lock_guard<std::mutex> hold(lock_);
        outcomes_[size_t(form)] = std::move(outcome);
        const qsizetype before = printed_;
        for (; printed_ < sources_.size() && outcomes_[size_t(printed_)]; ++printed_)
            streams_.out += sources_[printed_] + QStringLiteral(": ") + outcomes_[size_t(printed_)]->line + u'\n';
        if (printed_ > before && streams_.flush)
            streams_.flush(streams_);
    }

    // Once every form is put.
    QStringList Needing() const
    {
        QStringList needing;
        for (qsizetype i = 0; i < sources_.size(); ++i)
            if (!outcomes_[size_t(i)] || !outcomes_[size_t(i)]->complete)
                needing << sources_[i];
        return needing;
    }

private:
    const QStringList& sources_;
    Cli::Streams& streams_;
    std::vector<std::optional<FormWork::Outcome>> outcomes_;
    qsizetype printed_ = 0;
    std::mutex lock_;
};

} // namespace

const QList<CommandLine::Option>& Options()
{
    static const QList<CommandLine::Option> options{
        {PhotoFolderOption, QStringLiteral("CARTELLA"),
         QStringLiteral("La cartella delle foto: NOME.JPG, con il nome del\n"
                        "modulo senza estensione; un file esistente viene\n"
                        "sostituito.")},
        {SignatureFolderOption, QStringLiteral("CARTELLA"),
         QStringLiteral("La cartella delle firme, diversa da quella delle\n"
                        "foto: NOME.JPG come la foto.")},
        {PictureCommands::Dpi200Option, QString(), QStringLiteral("La tela della firma a 200 DPI: 237 x 48 pixel.")},
        {PictureCommands::BlackAndWhiteOption, QString(),
         QStringLiteral("Anche la BMP in bianco e nero a 1 bit (soglia %1)\n"
                        "accanto alla firma: NOME.bmp.")
             .arg(PictureCommands::DefaultThreshold)},
        {WorkersOption, QStringLiteral("N"),
         QStringLiteral("Quanti moduli insieme, da 1 a %1; predefinito uno per\n"
                        "processore. Ognuno tiene in memoria una pagina.")
             .arg(MaxWorkers)}};
    return options;
}

int Run(const CommandLine::Parsed& a, Cli::Streams& s)
{
    std::variant<Request, QString> read = ReadRequest(a);
    if (const QString* problem = std::get_if<QString>(&read))
        return Cli::UsageError(s, *problem);
    const Request r = std::get<Request>(std::move(read));
    for (const QString& folder : {r.settings.photoFolder, r.settings.signatureFolder})
        if (const std::optional<QString> problem = FolderProblem(folder))
            return Cli::Fail(s, *problem, Cli::OutputUnwritable);
    // The face models are read while the first pages are decoded.
    LandmarkModel::StartLoading();

    InOrder lines(r.sources, s);
    QHash<QString, qsizetype> firstNamed;
    std::vector<qsizetype> toMake;
    for (qsizetype i = 0; i < r.sources.size(); ++i) {
        const QString base = FormWork::BaseName(r.sources[i]);
        if (const auto first = firstNamed.constFind(base); first != firstNamed.cend())
            lines.Put(i, {QStringLiteral("stesso nome di %1 (%2): non scritto")
                              .arg(r.sources[*first], FormWork::PhotoPath(r.settings, base))});
        else {
            firstNamed.insert(base, i);
            toMake.push_back(i);
        }
    }
    FormWork::RunPool(int(toMake.size()), r.workers, [&](int k) {
        const qsizetype i = toMake[size_t(k)];
        lines.Put(i, FormWork::Make(r.sources[i], r.settings));
    });

    const QStringList needing = lines.Needing();
    if (needing.isEmpty())
        return Cli::Done;
    s.out += QStringLiteral("\nDa rivedere: %1 su %2\n")
                 .arg(needing.size() == 1 ? QStringLiteral("1 modulo") : QStringLiteral("%1 moduli").arg(needing.size()))
                 .arg(r.sources.size());
    for (const QString& source : needing)
        s.out += QStringLiteral("  ") + source + u'\n';
    return NeedsPerson;
}

} // namespace FormCommand

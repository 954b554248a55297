// The options of the picture commands and the rules of their command
// lines, shared by the help, the full commands and the quick road. The
// options are built on first use: the command table, a global of its own,
// reads them while the program starts.

#include "PictureCommands.h"

#include <QFileInfo>

namespace PictureCommands {

const CommandLine::Option& CropOptionHelp()
{
    static const CommandLine::Option option{
        CropOption, QStringLiteral("X,Y,L,A"),
        QStringLiteral("Il ritaglio in pixel dell'immagine sorgente come la\n"
                       "mostrano gli editor (già raddrizzata secondo\n"
                       "l'orientamento EXIF): angolo in alto a sinistra X,Y,\n"
                       "larghezza L, altezza A.")};
    return option;
}

namespace {

const CommandLine::Option& OutputOptionHelp()
{
    static const CommandLine::Option option{
        OutputOption, QStringLiteral("FILE"),
        QStringLiteral("Il file JPEG da scrivere, con il nome così com'è\n"
                       "(nessuna estensione aggiunta); un file esistente\n"
                       "viene sostituito.")};
    return option;
}

const CommandLine::Option& AutoOptionHelp()
{
    static const CommandLine::Option option{
        AutoOption, QString(),
        QStringLiteral("Al posto di --ritaglio: il ritaglio trovato da solo\n"
                       "nell'immagine intera, come lo fanno gli editor con\n"
                       "l'inquadratura automatica; stampato su una riga.")};
    return option;
}

} // namespace

const QList<CommandLine::Option>& PhotoOptions()
{
    static const QList<CommandLine::Option> options{CropOptionHelp(), AutoOptionHelp(), OutputOptionHelp()};
    return options;
}

const QList<CommandLine::Option>& SignatureOptions()
{
    static const QList<CommandLine::Option> options{
        CropOptionHelp(),
        AutoOptionHelp(),
        OutputOptionHelp(),
        {Dpi200Option, QString(), QStringLiteral("La tela a 200 DPI: 237 x 48 pixel.")},
        {BlackAndWhiteOption, QString(),
         QStringLiteral("Anche la BMP in bianco e nero a 1 bit, accanto al\n"
                        "JPEG: il nome di FILE con \".bmp\" al posto della\n"
                        "sua estensione, o aggiunto se non ne ha.")},
        {ThresholdOption, QStringLiteral("N"),
         QStringLiteral("Con --bn, la soglia del bianco e nero: i grigi da N\n"
                        "in su diventano bianchi. Predefinita %1; un valore\n"
                        "fuori da 0-255 viene portato nell'intervallo.")
             .arg(DefaultThreshold)}};
    return options;
}

std::variant<Request, QString> ReadRequest(const CommandLine::Parsed& a)
{
    if (a.positional.isEmpty())
        return QStringLiteral("Manca l'immagine sorgente");
    if (a.positional.size() > 1)
        return QStringLiteral("Una sola immagine sorgente, non anche: %1").arg(a.positional[1]);
    Request request;
    request.source = a.positional[0];
    request.automatic = a.has(AutoOption);
    if (request.automatic && a.has(CropOption))
        return QStringLiteral("Le opzioni %1 e %2 si escludono").arg(CropOption, AutoOption);
    if (!request.automatic) {
        if (!a.has(CropOption))
            return QStringLiteral("Manca l'opzione %1 X,Y,L,A").arg(CropOption);
        const std::optional<SourceCrop::Box> box = CommandLine::ParseCrop(a.value(CropOption));
        if (!box)
            return QStringLiteral("Ritaglio non valido: \"%1\" (atteso X,Y,L,A, quattro numeri interi)")
                .arg(a.value(CropOption));
        request.box = *box;
    }
    if (!a.has(OutputOption))
        return QStringLiteral("Manca l'opzione %1 FILE").arg(OutputOption);
    request.output = a.value(OutputOption);
    if (request.output.isEmpty())
        return QStringLiteral("Manca il nome del file di uscita");
    return request;
}

QString BlackAndWhiteName(const QString& output)
{
    const qsizetype nameStart = output.lastIndexOf(u'/') + 1;
    const qsizetype dot = output.lastIndexOf(u'.');
    if (dot > nameStart)
        return output.left(dot) + QStringLiteral(".bmp");
    return output + QStringLiteral(".bmp");
}

std::variant<BlackAndWhiteChoice, QString> ReadBlackAndWhite(const CommandLine::Parsed& a, const QString& output)
{
    BlackAndWhiteChoice choice;
    choice.wanted = a.has(BlackAndWhiteOption);
    if (a.has(ThresholdOption)) {
        if (!choice.wanted)
            return QStringLiteral("L'opzione %1 vale solo insieme a %2").arg(ThresholdOption, BlackAndWhiteOption);
        const std::optional<int> given = CommandLine::ParseThreshold(a.value(ThresholdOption));
        if (!given)
            return QStringLiteral("Soglia non valida: \"%1\" (atteso un numero)").arg(a.value(ThresholdOption));
        choice.threshold = *given;
    }
    if (choice.wanted) {
        if (QFileInfo(BlackAndWhiteName(output)).absoluteFilePath() == QFileInfo(output).absoluteFilePath())
            return QStringLiteral("Con %1 il file BMP avrebbe lo stesso nome del file JPEG: %2")
                .arg(BlackAndWhiteOption, output);
    }
    return choice;
}

} // namespace PictureCommands

// The options of the picture commands, shared by the help, the parser and
// the fast path. Built on first use: the command table, a global of its
// own, reads them while the program starts.

#include "PictureCommands.h"

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
                        "JPEG: il nome di FILE con \".bmp\" al posto degli\n"
                        "ultimi quattro caratteri.")},
        {ThresholdOption, QStringLiteral("N"),
         QStringLiteral("Con --bn, la soglia del bianco e nero: i grigi da N\n"
                        "in su diventano bianchi. Predefinita %1; un valore\n"
                        "fuori da 0-255 viene portato nell'intervallo.")
             .arg(DefaultThreshold)}};
    return options;
}

} // namespace PictureCommands

#include "CliCommands.h"

#include "CheckCommand.h"
#include "FormCommand.h"
#include "PictureCommands.h"
#include "PortalCommand.h"

namespace Cli {

namespace {

const QString Program = QStringLiteral("ritrax-cli");
constexpr int HelpColumn = 26;

const QList<Command> Table{
    {QStringLiteral("foto"), QStringLiteral("SORGENTE --ritaglio X,Y,L,A -o FILE.jpg"),
     QStringLiteral("La foto: JPEG di 265 x 320 pixel a 200 DPI."),
     PictureCommands::PhotoOptions(),
     PictureCommands::RunPhoto,
     {}},
    {QStringLiteral("firma"),
     QStringLiteral("SORGENTE --ritaglio X,Y,L,A -o FILE.jpg [--200dpi] [--bn] [--soglia N]"),
     QStringLiteral("La firma su tela bianca: JPEG di 710 x 142 pixel a 600 DPI."),
     PictureCommands::SignatureOptions(),
     PictureCommands::RunSignature,
     {}},
    {QStringLiteral("verifica"), QStringLiteral("SORGENTE --ritaglio X,Y,L,A [--portale INDIRIZZO]"),
     QStringLiteral("La foto del ritaglio verificata sul portale dell'automobilista."),
     {PictureCommands::CropOptionHelp(),
      {PortalCommand::PortalOption, QStringLiteral("INDIRIZZO"),
       QStringLiteral("L'indirizzo del portale (schema, host e porta), per\n"
                      "esempio http://127.0.0.1:8080; senza, quello\n"
                      "dell'impostazione \"Portale\" o quello pubblico.\n"
                      "Esce con 0 se la foto è conforme, %1 se il portale\n"
                      "la respinge, %2 se il portale non risponde.")
           .arg(PortalCommand::Rejected)
           .arg(PortalCommand::CommunicationError)}},
     PortalCommand::Run,
     {{PortalCommand::Rejected, QStringLiteral("verifica: il portale respinge la foto")},
      {PortalCommand::CommunicationError, QStringLiteral("verifica: nessuna risposta utile dal portale")}}},
    {QStringLiteral("controlla"), QStringLiteral("FOTO.jpg"),
     QStringLiteral("Il controllo della foto senza portale: geometria, sfondo, luce, nitidezza."),
     {},
     CheckCommand::Run,
     {}},
    {QStringLiteral("modulo"),
     QStringLiteral("SORGENTE… --foto CARTELLA --firma CARTELLA [--200dpi] [--bn] [--lavori N]"),
     QStringLiteral("La foto e la firma di ogni modulo, trovate da sole e scritte insieme."),
     FormCommand::Options(),
     FormCommand::Run,
     {{FormCommand::NeedsPerson,
       QStringLiteral("modulo: qualche modulo da rivedere (file non scritti o controllo non superato)")}}},
};

struct ExitCodeText {
    int code;
    const char* text;
};
constexpr ExitCodeText ExitCodes[] = {
    {Done, "file scritti"},
    {InternalFailure, "memoria insufficiente per preparare i file"},
    {BadUsage, "riga di comando errata"},
    {SourceUnreadable, "immagine sorgente assente o illeggibile"},
    {CropOutside, "ritaglio vuoto, fuori dall'immagine o troppo sottile per la firma"},
    {OutputUnwritable, "impossibile scrivere il file di uscita"},
    {NothingFound, "con --auto, nessun viso o nessuna firma trovati"},
};

// Help lines after the first start in the help column.
QString Indented(int indent, const QString& left, const QString& help)
{
    QString text = QString(indent, u' ') + left;
    const QStringList lines = help.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == 0 && text.size() < HelpColumn)
            text = text.leftJustified(HelpColumn, u' ');
        else
            text += u'\n' + QString(HelpColumn, u' ');
        text += lines[i];
    }
    return text + u'\n';
}

QString OptionsText(const QList<CommandLine::Option>& options, int indent)
{
    QString text;
    for (const CommandLine::Option& option : options)
        text += Indented(indent, option.valueName.isEmpty() ? option.name : option.name + u' ' + option.valueName,
                         option.help);
    return text + Indented(indent, QStringLiteral("-h, --help"), QStringLiteral("Questo aiuto."));
}

// The general codes, then those of the commands given.
QString ExitCodesText(const QList<const Command*>& commands)
{
    QString text = QStringLiteral("Codici di uscita:\n");
    for (const ExitCodeText& e : ExitCodes)
        text += QStringLiteral("  %1  %2\n").arg(e.code).arg(QString::fromUtf8(e.text));
    for (const Command* command : commands)
        for (const CommandExitCode& e : command->exitCodes)
            text += QStringLiteral("  %1  %2\n").arg(e.code).arg(e.text);
    return text;
}

const QString Purpose = QStringLiteral(
    "Scrive i file della foto e della firma per la patente senza aprire finestre:\n"
    "gli stessi byte che salvano gli editor di Ritrax per lo stesso ritaglio.\n"
    "Nulla viene scritto se qualcosa non va; il messaggio va sullo standard error.\n"
    "Il comando verifica manda la foto al portale dell'automobilista e ne stampa\n"
    "l'esito, con i motivi di un rifiuto uno per riga. Il comando controlla misura\n"
    "la foto senza portale, stampa ogni valore con i suoi limiti ed esce con 0 se\n"
    "tutti vi rientrano, con 1 se qualcuno ne esce. Il comando modulo fa foto e\n"
    "firma di molti moduli insieme, su tutti i processori: una riga per modulo con\n"
    "i ritagli e l'esito del controllo, poi l'elenco dei moduli da rivedere.\n");

} // namespace

const QList<Command>& Commands()
{
    return Table;
}

QString GeneralHelp()
{
    QString text = QStringLiteral("Uso: %1 COMANDO SORGENTE --ritaglio X,Y,L,A -o FILE [opzioni]\n"
                                  "     %1 COMANDO --help\n\n")
                       .arg(Program)
        + Purpose + QStringLiteral("\nComandi:\n");
    for (const Command& command : Table) {
        text += QStringLiteral("\n  %1 %2\n    %3\n").arg(command.name, command.usage, command.summary);
        text += OptionsText(command.options, 4);
    }
    QList<const Command*> all;
    for (const Command& command : Table)
        all.append(&command);
    return text + u'\n' + ExitCodesText(all);
}

QString CommandHelp(const Command& command)
{
    return QStringLiteral("Uso: %1 %2 %3\n\n%4\n\nOpzioni:\n").arg(Program, command.name, command.usage, command.summary)
        + OptionsText(command.options, 2) + u'\n' + ExitCodesText({&command});
}

int Fail(Streams& streams, const QString& message, int code)
{
    streams.err += Program + QStringLiteral(": ") + message + u'\n';
    return code;
}

int UsageError(Streams& streams, const QString& message)
{
    Fail(streams, message, BadUsage);
    streams.err += QStringLiteral("Per l'aiuto: %1 --help\n").arg(Program);
    return BadUsage;
}

int Run(const QStringList& arguments, Streams& streams)
{
    if (arguments.isEmpty())
        return UsageError(streams, QStringLiteral("Manca il comando (foto, firma, verifica, controlla o modulo)"));
    const QString& first = arguments.first();
    if (first == u"-h" || first == u"--help") {
        streams.out += GeneralHelp();
        return Done;
    }
    const Command* command = nullptr;
    for (const Command& c : Table)
        if (c.name == first)
            command = &c;
    if (!command)
        return UsageError(streams, QStringLiteral("Comando sconosciuto: %1").arg(first));
    const CommandLine::Outcome parsed = CommandLine::Parse(arguments.mid(1), command->options, command->name);
    if (!parsed.parsed)
        return UsageError(streams, parsed.error);
    if (parsed.parsed->help) {
        streams.out += CommandHelp(*command);
        return Done;
    }
    return command->run(*parsed.parsed, streams);
}

} // namespace Cli

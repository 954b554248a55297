#include "CommandLine.h"

#include "Numbers.h"

#include <QLocale>
#include <QStringDecoder>

#include <cmath>

#include <fcntl.h>

namespace CommandLine {

namespace {

const Option* Find(const QList<Option>& options, const QString& name)
{
    for (const Option& option : options)
        if (option.name == name)
            return &option;
    return nullptr;
}

bool IsOptionWord(const QString& word)
{
    return word.size() > 1 && word.startsWith(u'-');
}

} // namespace

QStringList Arguments(int argc, char** argv)
{
    QStringList words;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString word = utf8(QByteArrayView(argv[i]));
        if (utf8.hasError() && !(i > 1 && QByteArrayView(argv[i - 1]) == "-o")) {
            // Non-blocking: a FIFO must not hold the program here either.
            const int descriptor = ::open(argv[i], O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            if (descriptor >= 0)
                word = QStringLiteral("/proc/self/fd/%1").arg(descriptor);
        }
        words.append(word);
    }
    return words;
}

Outcome Parse(const QStringList& words, const QList<Option>& options, const QString& command)
{
    Parsed parsed;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (optionsEnded || !IsOptionWord(word)) {
            parsed.positional.append(word);
            continue;
        }
        if (word == u"--") {
            optionsEnded = true;
            continue;
        }
        if (word == u"-h" || word == u"--help") {
            parsed.help = true;
            continue;
        }
        const qsizetype equals = word.startsWith(u"--") ? word.indexOf(u'=') : -1;
        const QString name = equals < 0 ? word : word.left(equals);
        const Option* option = Find(options, name);
        if (!option)
            return {std::nullopt, QStringLiteral("Opzione sconosciuta per il comando %1: %2").arg(command, name)};
        if (parsed.has(name))
            return {std::nullopt, QStringLiteral("L'opzione %1 è ripetuta").arg(name)};
        if (option->valueName.isEmpty()) {
            if (equals >= 0)
                return {std::nullopt, QStringLiteral("L'opzione %1 non vuole un valore").arg(name)};
            parsed.given.insert(name, QString());
            continue;
        }
        if (equals >= 0) {
            parsed.given.insert(name, word.mid(equals + 1));
            continue;
        }
        if (i + 1 >= words.size())
            return {std::nullopt, QStringLiteral("Manca il valore dell'opzione %1").arg(name)};
        parsed.given.insert(name, words[++i]);
    }
    return {parsed, QString()};
}

std::optional<SourceCrop::Box> ParseCrop(const QString& text)
{
    const QStringList parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    long long numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        numbers[i] = parts[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return SourceCrop::Box{numbers[0], numbers[1], numbers[2], numbers[3]};
}

std::optional<int> ParseThreshold(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return int(qBound(0LL, Numbers::RoundHalfEven(value), 255LL));
}

} // namespace CommandLine

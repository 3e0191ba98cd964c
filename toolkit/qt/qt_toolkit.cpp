#include "toolkit/qt/qt_toolkit.h"

#include <QApplication>
#include <QByteArray>
#include <QFont>
#include <QLocale>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "toolkit/number_format.h"
#include "toolkit/qt/qt_form.h"

namespace toolkit::qt {

namespace {

// The platforms tried in turn when the user chose none.
char platformOption[] = "-platform";
char x11ThenWayland[] = "xcb;wayland";

// What Qt says while it starts a platform, held back until the start is over: a failed attempt
// at X11 before Wayland starts is no news, and where none starts, one line says it all.
struct StartupMessage {
    QtMsgType type;
    std::string category;
    QString text;
};
std::vector<StartupMessage> startupMessages;
std::string startupFailure;

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", startupFailure.c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    startupMessages.push_back({type, context.category ? context.category : "", text});
}

std::string failureLine(const char* program, const QByteArray& chosen) {
    std::string name = program != nullptr ? program : "volscope";
    name = name.substr(name.find_last_of('/') + 1);
    if (!chosen.isEmpty())
        return name + ": cannot show a window: the platform \"" + chosen.toStdString() +
               "\" (QT_QPA_PLATFORM) cannot be started";
    return name +
           ": cannot show a window: no X server (DISPLAY) and no Wayland compositor "
           "(WAYLAND_DISPLAY) can be reached";
}

}  // namespace

QtApplication::QtApplication(int& argc, char** argv, std::string_view appId)
    : argc_(argc), argv_(argv, argv + argc) {
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (chosen.isEmpty()) {
        // First, so that a -platform of the user's, parsed later, still wins.
        argv_.insert(argv_.begin() + std::min<std::ptrdiff_t>(1, argc),
                     {platformOption, x11ThenWayland});
        argc_ += 2;
    }
    argv_.push_back(nullptr);
    startupFailure = failureLine(argc > 0 ? argv[0] : nullptr, chosen);
    const QtMessageHandler previous = qInstallMessageHandler(holdStartupMessage);
    app_ = std::make_unique<QApplication>(argc_, argv_.data());
    qInstallMessageHandler(previous);
    const bool fellBack =
        chosen.isEmpty() && QGuiApplication::platformName() != QLatin1String("xcb");
    for (const StartupMessage& message : startupMessages) {
        if (fellBack && (message.category == "qt.qpa.xcb" || message.category == "qt.qpa.plugin"))
            continue;
        qt_message_output(message.type,
                          QMessageLogContext(nullptr, 0, nullptr, message.category.c_str()),
                          message.text);
    }
    startupMessages.clear();
    if (!appId.empty()) {
        QGuiApplication::setDesktopFileName(
            QString::fromUtf8(appId.data(), static_cast<qsizetype>(appId.size())));
    }
    QtToolkit::installFontSubstitutes();
}

QtApplication::~QtApplication() = default;

int QtApplication::exec() {
    return QApplication::exec();
}

QtToolkit::QtToolkit(MessageBoxes& messageBoxes, platform::Platform& os,
                     platform::ChangeSource& volumeChanges, std::string appTitle)
    : ToolkitBase(messageBoxes, os, std::move(appTitle)) {
    installFontSubstitutes();
    if (volumeChanges.descriptor() < 0) return;
    // The event loop waits on the descriptor, with no timer. Connected first, so that the forms'
    // handlers run after the mark is taken off and a change they cause is reported anew.
    volumeChanges_ =
        std::make_unique<QSocketNotifier>(volumeChanges.descriptor(), QSocketNotifier::Exception);
    QObject::connect(volumeChanges_.get(), &QSocketNotifier::activated, volumeChanges_.get(),
                     [&volumeChanges] { volumeChanges.acknowledge(); });
}

void QtToolkit::installFontSubstitutes() {
    // The Windows dialog fonts are not on a Linux desktop; these faces have their metrics, so
    // captions fit their laid-out sizes.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"),
                                QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif")});
}

QFont QtToolkit::dialogFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.0);
    return font;
}

std::unique_ptr<Form> QtToolkit::createForm(const FormLayout& layout) {
    return std::make_unique<QtForm>(*this, layout);
}

void QtToolkit::doEvents() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtToolkit::end() {
    markEnded();
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    QCoreApplication::exit(0);
}

std::string QtToolkit::format(double value, std::string_view pattern) const {
    const QLocale locale;
    NumberSymbols symbols;
    symbols.groupSeparator = locale.groupSeparator().toStdString();
    symbols.decimalPoint = locale.decimalPoint().toStdString();
    symbols.minusSign = locale.negativeSign().toStdString();
    return formatNumber(value, pattern, symbols);
}

namespace {

DateSymbols dateSymbolsOf(const QLocale& locale) {
    DateSymbols symbols;
    for (int day = 1; day <= 7; ++day)  // Qt counts from Monday, the table from Sunday
        symbols.weekdayNames[static_cast<std::size_t>(day % 7)] =
            locale.dayName(day, QLocale::LongFormat).toStdString();
    for (int month = 1; month <= 12; ++month)
        symbols.monthNames[static_cast<std::size_t>(month - 1)] =
            locale.monthName(month, QLocale::LongFormat).toStdString();
    // The separator is what stands between the hour and the minute in the locale's own format.
    const QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    const qsizetype hour = timeFormat.indexOf(QRegularExpression(QStringLiteral("[hH]+")));
    if (hour >= 0) {
        qsizetype after = hour;
        while (after < timeFormat.size() && timeFormat[after].toLower() == u'h') ++after;
        const qsizetype minute = timeFormat.indexOf(u'm', after);
        if (minute > after)
            symbols.timeSeparator = timeFormat.mid(after, minute - after).toStdString();
    }
    return symbols;
}

}  // namespace

// Reading the names builds a regular expression and two dozen strings: a good part of a
// selection's refresh, which formats three times. They are read again when the locale changes.
struct QtToolkit::DateNames {
    QLocale locale;
    DateSymbols symbols;
};

QtToolkit::~QtToolkit() = default;

std::string QtToolkit::format(const DateTime& date, std::string_view pattern) const {
    const QLocale locale;
    if (!dateNames_ || dateNames_->locale != locale)
        dateNames_ = std::make_unique<DateNames>(DateNames{locale, dateSymbolsOf(locale)});
    return formatDate(date, pattern, dateNames_->symbols);
}

}  // namespace toolkit::qt

#include "app/Messages.h"
#include "app/Module1.h"
#include "tools/demo/DemoData.h"
#include "ui/crosstab/SelectionScreen.h"
#include "ui/grid/TextBox.h"
#include "ui/crosstab/frmCrossPreview.h"
#include "ui/crosstab/frmRowSelect.h"
#include "ui/list/Form1.h"
#include "ui/wizard/frmRepCust.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cstdio>

// screenshots OUTPUT_DIR: opens the windows on a demo firm and saves a picture of each.
namespace {

QString outDir;
int failures = 0;

// No message box may wait for a user here: each is printed and answered with its default.
class PrintedMessages : public app::MessageSeam {
public:
    app::Answer ask(const app::Message &m) override
    {
        std::fprintf(stderr, "screenshots: message: %s\n", qPrintable(m.prompt));
        return m.defaultButton;
    }
};

void wait(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The windows as they stand on the screen, each under a drawn title bar.
void shoot(const QString &name, const QList<QWidget *> &windows)
{
    constexpr int Bar = 22, Margin = 8;
    QRect area;
    for (QWidget *w : windows)
        area |= w->geometry().adjusted(0, -Bar, 0, 0);
    area.adjust(-Margin, -Margin, Margin, Margin);
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(QColor(0x5a, 0x6e, 0x7f));
    QPainter painter(&image);
    for (QWidget *w : windows) {
        const QPoint at = w->geometry().topLeft() - area.topLeft();
        painter.fillRect(QRect(at.x(), at.y() - Bar, w->width(), Bar), QColor(0x1f, 0x3b, 0x6e));
        painter.setPen(Qt::white);
        painter.drawText(QRect(at.x() + 8, at.y() - Bar, w->width() - 16, Bar), Qt::AlignVCenter,
                         w->windowTitle());
        painter.drawPixmap(at, w->grab());
    }
    painter.end();
    const QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!image.save(file, "PNG", 0)) {
        std::fprintf(stderr, "screenshots: cannot write %s\n", qPrintable(file));
        ++failures;
        return;
    }
    std::printf("%s\n", qPrintable(file));
}

// Runs step once the loop of whatever modal window is open has run for a while.
void later(int ms, std::function<void()> step) { QTimer::singleShot(ms, qApp, std::move(step)); }

void crossTab()
{
    SelectionScreen &s = SelectionScreen::instance();
    frmRowSelect &picker = *s.picker;
    later(400, [&] {
        later(600, [&] {
            shoot(QStringLiteral("crosstab-picker"), {&s, &picker});
            later(400, [&] {
                later(600, [&] {
                    shoot(QStringLiteral("crosstab-preview"), {&s, s.preview});
                    s.preview->cmdClose_Click();
                    later(300, [&] { s.cmdCancel_Click(); });
                });
                s.cmdPreview_Click();
            });
            picker.cmdOK_Click();
        });
        s.txtColData->setFocus(); // opens the picker on the column field
    });
    s.EntryType(1, QStringLiteral("CTR1"));
}

void wizard()
{
    app::settings().RunMode = QStringLiteral("WIZARD");
    frmRepCust &w = frmRepCust::instance();
    w.showForm(QStringLiteral("CRF4"));
    QApplication::setActiveWindow(&w);
    wait(300);
    shoot(QStringLiteral("wizard-columns"), {&w});
    w.cmdNext_Click();
    wait(300);
    shoot(QStringLiteral("wizard-customize"), {&w});
    w.cmdNext_Click();
    wait(300);
    // Whatever the preview button shows, on the page or in a window of its own.
    later(800, [&] {
        QList<QWidget *> windows{&w};
        if (QWidget *modal = QApplication::activeModalWidget())
            windows << modal;
        shoot(QStringLiteral("wizard-preview"), windows);
        for (QWidget *extra : windows.mid(1))
            extra->hide();
    });
    w.cmdPreview->click();
    wait(1200);
    w.hide();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    // An option is no folder to write into.
    const auto option = std::find_if(args.begin() + 1, args.end(),
                                     [](const QString &arg) { return arg.startsWith(QLatin1Char('-')); });
    if (option != args.end())
        std::fprintf(stderr, "screenshots: unknown option \"%s\"\n", qPrintable(*option));
    if (args.size() != 2 || option != args.end()) {
        std::fprintf(stderr, "usage: screenshots OUTPUT_DIR\n");
        return 2;
    }
    outDir = args[1];
    QDir().mkpath(outDir);
    QTemporaryDir root;
    PrintedMessages messages;
    app::setMessages(&messages);

    app::Settings &s = app::settings();
    demo::DemoFiles files = demo::makeDemoData(root.path(), 1, 1);
    s.FirmNo = 1;
    s.YearNo = 1;
    s.DataRoot = root.path();
    s.RunMode = QStringLiteral("CTR");
    s.YearDb = std::move(files.year);
    s.FirmDb = std::move(files.firm);
    app::setReportFamily(s, QStringLiteral("PWR"));

    Form1 &list = Form1::instance();
    list.show();
    QApplication::setActiveWindow(&list);
    wait(300);
    shoot(QStringLiteral("list"), {&list});
    crossTab();
    list.hide();
    wizard();

    app::setMessages(nullptr);
    s.YearDb.reset();
    s.FirmDb.reset();
    return failures == 0 ? 0 : 1;
}

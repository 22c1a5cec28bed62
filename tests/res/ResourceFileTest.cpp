#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QListWidget>
#include <QMovie>
#include <QPushButton>
#include <QRadioButton>
#include <QTranslator>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

#include "ResCheck.h"

namespace {

const QString kSourceDir = QStringLiteral(VTX_SOURCE_DIR);

const QMap<QString, QString>& entries()
{
    static QString error;
    static const QMap<QString, QString> e = rescheck::qrcEntries(QStringLiteral(VTX_RES_QRC), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return e;
}

QStringList uiPictures()
{
    QStringList names;
    for (const QString& path : entries().keys())
        if (path.startsWith(QLatin1String(":/UI/res/")))
            names << path.mid(9);
    return names;
}

QString readText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Collects the warnings Qt prints while a block runs (style sheet parse errors, missing pictures).
class WarningCatcher
{
public:
    WarningCatcher() { s_messages.clear(), m_previous = qInstallMessageHandler(&WarningCatcher::handle); }
    ~WarningCatcher() { qInstallMessageHandler(m_previous); }
    QStringList messages() const { return s_messages; }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        // The offscreen platform's own notices say nothing about the style sheet.
        if (type != QtDebugMsg && type != QtInfoMsg && !message.startsWith(QLatin1String("This plugin does not")))
            s_messages << message;
    }
    static inline QStringList s_messages;
    QtMessageHandler m_previous = nullptr;
};

} // namespace

TEST(ResourceFile, ListsEveryFileByItsPlainNameUnderItsPrefix)
{
    ASSERT_FALSE(entries().isEmpty());
    for (auto it = entries().begin(); it != entries().end(); ++it) {
        const QString name = it.key().section(QLatin1Char('/'), -1);
        EXPECT_EQ(name, QFileInfo(it.value()).fileName()) << it.key().toStdString();
        EXPECT_TRUE(QFileInfo(it.value()).isAbsolute()) << it.value().toStdString();
        EXPECT_TRUE(QFileInfo::exists(it.value())) << it.value().toStdString();
        const bool sheetOrQm = name == QLatin1String("style.qss") || name == QLatin1String("qt_zh_CN.qm");
        EXPECT_EQ(it.key().startsWith(QLatin1String(":/QSS/res/")), sheetOrQm) << it.key().toStdString();
    }
    EXPECT_TRUE(entries().contains(":/QSS/res/style.qss"));
    EXPECT_TRUE(entries().contains(":/QSS/res/qt_zh_CN.qm"));
}

TEST(ResourceFile, ListsEveryPictureOfTheSourceTreeAndNoOther)
{
    const QStringList onDisk = QDir(kSourceDir + "/res/images").entryList(QDir::Files, QDir::Name);
    QStringList listed = uiPictures();
    listed.sort();
    EXPECT_EQ(listed, onDisk);
}

TEST(ResourceFile, PicturesLoadFromTheCompiledResources)
{
    for (const QString& name : uiPictures()) {
        const QImage image(":/UI/res/" + name);
        EXPECT_FALSE(image.isNull()) << name.toStdString();
    }
    // Sizes that the windows rely on.
    const QMap<QString, QSize> sizes = {
        {"home.png", {680, 420}},         {"login.png", {680, 420}},
        {"verification.png", {680, 420}}, {"password.png", {680, 420}},
        {"tipsdlg.png", {320, 77}},       {"tipsdlg2.png", {320, 77}},
        {"frame.png", {320, 249}},        {"about.png", {64, 64}},
        {"logo.png", {256, 256}},         {"selected.png", {54, 12}},
        {"editline.png", {320, 2}},       {"ic_arrow.png", {10, 6}},
        {"account.png", {42, 42}},        {"checkbox_checked.png", {18, 18}},
        {"radio_checked.png", {21, 21}},
    };
    for (auto it = sizes.begin(); it != sizes.end(); ++it)
        EXPECT_EQ(QImage(":/UI/res/" + it.key()).size(), it.value()) << it.key().toStdString();
    for (const QString& name : uiPictures()) {
        if (name.startsWith(QLatin1String("checkbox_")))
            EXPECT_EQ(QImage(":/UI/res/" + name).size(), QSize(18, 18)) << name.toStdString();
        if (name.startsWith(QLatin1String("radio_")))
            EXPECT_EQ(QImage(":/UI/res/" + name).size(), QSize(21, 21)) << name.toStdString();
    }
}

TEST(ResourceFile, LanguageVariantsMatchTheirChinesePicture)
{
    int variants = 0;
    for (const QString& name : uiPictures()) {
        if (!name.endsWith(QLatin1String("_en.png")))
            continue;
        ++variants;
        const QString base = name.left(name.size() - 7) + ".png";
        const QImage en(":/UI/res/" + name);
        const QImage zh(":/UI/res/" + base);
        ASSERT_FALSE(zh.isNull()) << base.toStdString();
        EXPECT_EQ(en.size(), zh.size()) << name.toStdString();
        EXPECT_NE(en, zh) << name.toStdString() << " shows the same caption as " << base.toStdString();
    }
    EXPECT_EQ(variants, 7);
}

TEST(ResourceFile, LoadingAnimationIsASmallAnimatedPicture)
{
    QMovie movie(":/UI/res/loading.gif");
    ASSERT_TRUE(movie.isValid());
    EXPECT_GE(movie.frameCount(), 12);
    ASSERT_TRUE(movie.jumpToFrame(0));
    EXPECT_EQ(movie.currentImage().size(), QSize(32, 32));
    const QImage first = movie.currentImage();
    // The GIF reader only steps forwards.
    for (int i = 0; i < movie.frameCount() / 2; ++i)
        ASSERT_TRUE(movie.jumpToNextFrame());
    EXPECT_NE(movie.currentImage(), first);
}

TEST(ResourceFile, CarriesQtsChineseTranslation)
{
    QTranslator translator;
    ASSERT_TRUE(translator.load(":/QSS/res/qt_zh_CN.qm"));
    const QString cancel = translator.translate("QPlatformTheme", "Cancel");
    EXPECT_FALSE(cancel.isEmpty());
    EXPECT_NE(cancel, "Cancel");
}

TEST(ResourceFile, PicturesStaySmall)
{
    qint64 total = 0;
    for (const QString& name : uiPictures())
        total += QFileInfo(entries().value(":/UI/res/" + name)).size();
    EXPECT_LT(total, 1024 * 1024);
}

TEST(ResourcePaths, EveryPathInTheSourcesAndStyleSheetNamesAListedFile)
{
    QList<rescheck::Literal> literals =
        rescheck::sourceLiterals(kSourceDir, {QStringLiteral("app"), QStringLiteral("ui"), QStringLiteral("net"),
                                              QStringLiteral("sdk"), QStringLiteral("recordings")});
    literals.append({readText(kSourceDir + "/res/style.qss"), QStringLiteral("res/style.qss")});
    int checked = 0;
    for (const rescheck::Literal& literal : literals) {
        for (const QString& path : rescheck::resourcePaths(literal.text)) {
            ++checked;
            if (QFileInfo(path).suffix().isEmpty() || path.endsWith(QLatin1Char('_'))) {
                // A prefix completed in code (a language suffix or a state): some listed file must start with it.
                bool found = false;
                for (const QString& listed : entries().keys())
                    found = found || listed.startsWith(path);
                EXPECT_TRUE(found) << literal.where.toStdString() << ": " << path.toStdString();
            } else {
                EXPECT_TRUE(entries().contains(path)) << literal.where.toStdString() << ": " << path.toStdString();
            }
        }
    }
    EXPECT_GT(checked, 20); // the style sheet alone names more
}

TEST(StyleSheet, ParsesAndDrawsWithItsPictures)
{
    const QString sheet = readText(":/QSS/res/style.qss");
    ASSERT_FALSE(sheet.isEmpty());
    WarningCatcher catcher;
    qApp->setStyleSheet(sheet);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* button = new QPushButton("OK");
    button->setFixedSize(131, 40); // wider and taller than the picture, which the style tiles
    auto* check = new QCheckBox("box");
    check->setChecked(true);
    auto* radio = new QRadioButton("radio");
    auto* combo = new QComboBox;
    combo->addItems({"0", "15", "30"});
    layout->addWidget(button);
    layout->addWidget(check);
    layout->addWidget(radio);
    layout->addWidget(combo);
    window.show();
    const QImage shot = button->grab().toImage();
    const QImage indicator = check->grab().toImage();
    qApp->setStyleSheet(QString());

    EXPECT_TRUE(catcher.messages().isEmpty()) << catcher.messages().join("\n").toStdString();
    // The primary button shows the blue picture everywhere away from its caption, also past the picture's size.
    for (const QPoint& p : {QPoint(10, 20), QPoint(125, 38), QPoint(125, 20)})
        EXPECT_EQ(shot.pixelColor(p).name().toStdString(), "#1890ff") << p.x() << "," << p.y();
    // A checked box draws the blue check-box picture at its left.
    EXPECT_EQ(indicator.pixelColor(4, indicator.height() / 2 - 5).name().toStdString(), "#1890ff");
}

// WCAG contrast ratio of two colours.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(StyleSheet, SelectedMeetingAndRecordingRowsKeepTheirGreyLinesReadable)
{
    qApp->setStyleSheet(readText(":/QSS/res/style.qss"));
    for (const char* name : {"listWidget_plan", "listWidget_video"}) {
        QListWidget list;
        list.setObjectName(QString::fromLatin1(name));
        list.resize(360, 200);
        list.addItem(QStringLiteral(" "));
        list.show();
        list.activateWindow();
        list.setFocus();
        list.setCurrentRow(0);
        QCoreApplication::processEvents();
        ASSERT_TRUE(list.item(0)->isSelected());
        const QRect row = list.visualItemRect(list.item(0));
        const QColor background = list.viewport()->grab().toImage().pixelColor(row.right() - 4, row.center().y());
        // The rows' time and path lines are rgb(127, 127, 127); 3:1 is the least for readable text.
        EXPECT_GE(contrast(background, QColor(127, 127, 127)), 3.0) << name << " " << background.name().toStdString();
    }
    qApp->setStyleSheet(QString());
}

TEST(RuntimeFiles, LanguagePacksLieBesideTheExecutables)
{
    for (const char* name : {"zh_CN.ini", "en_US.ini"}) {
        QFile copy(QCoreApplication::applicationDirPath() + "/" + name);
        QFile source(kSourceDir + "/res/lang/" + name);
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly)) << name;
        ASSERT_TRUE(source.open(QIODevice::ReadOnly)) << name;
        EXPECT_EQ(copy.readAll(), source.readAll()) << name;
    }
}

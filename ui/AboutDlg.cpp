#include "AboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "base/Localization.h"
#include "net/AccountApi.h"
#include "ui/Styles.h"

namespace {

QLabel* centredLabel(QWidget* parent, const char* name, const QRect& geometry, int points, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    QFont font(QStringLiteral("Microsoft YaHei UI"));
    font.setPointSize(points);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

} // namespace

AboutDlg::AboutDlg(std::function<void()> checkUpdate, QWidget* parent)
    : QDialog(parent)
    , m_checkUpdate(std::move(checkUpdate))
{
    setObjectName(QStringLiteral("AboutDlg"));
    setFont(QFont(QStringLiteral("Microsoft YaHei UI")));
    setFixedSize(480, 240);
    setWindowFlags(Qt::Tool | Qt::WindowCloseButtonHint);
    setStyleSheet(QStringLiteral("background-color:rgb(255,255,255);"));
    setWindowTitle(LangText("ui.window"));

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("label_logo"));
    logo->setGeometry(207, 20, 64, 64);
    logo->setPixmap(QPixmap(QStringLiteral(":/UI/res/about.png")));
    centredLabel(this, "label_app", QRect(10, 100, 461, 41), 13, LangText("ui.label_app"));
    const std::string version = net::clientVersion();
    centredLabel(this, "label_version", QRect(9, 140, 461, 31), 10, LangFormat("ui.label_version", version.c_str()));

    auto* check = new QPushButton(LangText("ui.menu.update"), this);
    check->setObjectName(QStringLiteral("checkUpgrade"));
    check->setGeometry(166, 190, 151, 31); // wide enough for the English caption
    check->setStyleSheet(styles::primaryButton());

    QMetaObject::connectSlotsByName(this);
}

AboutDlg::~AboutDlg() = default;

void AboutDlg::on_checkUpgrade_clicked()
{
    if (m_checkUpdate)
        m_checkUpdate();
    close();
}

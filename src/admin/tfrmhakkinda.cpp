#include "admin/tfrmhakkinda.h"

#include "ui/look.h"

#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvo::admin {

namespace {

const QString coordinatingDepartment = QStringLiteral("Personel Daire Başkanlığı");
const QString preparingDepartment = QStringLiteral("Bilgi İşlem Daire Başkanlığı");

const QString authorCredit =
    QStringLiteral("Bilgi İşlem Daire Başkanlığı, Yazılım Geliştirme Şube Müdürü (Dahili: 1410)");
const QString contributorCredits[] = {
    QStringLiteral("Personel Daire Başkanlığı, Sosyal Güvenlik İşlemleri Şefi (Dahili: 1235)"),
    QStringLiteral(
        "Strateji Geliştirme Daire Başkanlığı, Tahakkuk Birimi Sorumlusu (Dahili: 1320)"),
};

const QColor navy{0, 0, 128};

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

} // namespace

TFrmHakkinda::TFrmHakkinda(ui::AppContext& context, QWidget* owner)
    : ChildWindow(context, QStringLiteral("FrmHakkinda"), QSize(1108, 770), owner)
{
    setHidesMainWindow(false);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    setMinimumSize(480, 360);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(1108, 770);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(1108 / 2, 770 / 2));
    QPalette p = palette();
    p.setColor(QPalette::Window, ui::look::mainBackground);
    setPalette(p);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(9, 6, 9, 6);
    layout->setSpacing(4);
    layout->addWidget(pictureWithPurpose(), 1);
    layout->addWidget(authorLine());
    layout->addWidget(contributorsPanel());
}

QLabel* TFrmHakkinda::line(QWidget* parent, const QString& text, int pixelSize, bool bold)
{
    auto* label = new QLabel(text, parent);
    label->setFont(ui::look::verdana(pixelSize, bold));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The picture fills the upper part; the close button and the purpose text lie over it.
QWidget* TFrmHakkinda::pictureWithPurpose()
{
    auto* area = new QWidget(this);
    auto* grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);

    auto* picture = new QLabel(area);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(ui::look::picture(QStringLiteral("about")));
    picture->setScaledContents(true);
    picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    picture->setMinimumSize(200, 120);
    grid->addWidget(picture, 0, 0);

    QToolButton* close = createCloseButton(area, QStringLiteral("Kapat"));
    close->setFixedSize(100, 57);
    close->setFont(ui::look::verdana(11, true));
    grid->addWidget(close, 0, 0, Qt::AlignTop | Qt::AlignRight);

    auto* purpose = new QWidget(area);
    purpose->setObjectName(QStringLiteral("Purpose"));
    auto* lines = new QVBoxLayout(purpose);
    lines->setContentsMargins(8, 0, 8, 10);
    lines->setSpacing(2);
    const QString texts[] = {
        QStringLiteral("Bu program öğrencilerin zorunlu stajları nedeniyle kurumumuzca ödenen "
                       "sosyal güvenlik kesintilerinin takibi"),
        QStringLiteral("ve kesintilerin Sosyal Güvenlik Kurumuna iletilmesi amacıyla; ") +
            coordinatingDepartment + QStringLiteral(" koordinatörlüğünde"),
        preparingDepartment + QStringLiteral(" tarafından hazırlanmıştır.... (Mart-2010)"),
    };
    for (const QString& text : texts) {
        QLabel* label = line(purpose, text, 11, true);
        setTextColour(label, Qt::white);
        lines->addWidget(label);
    }
    grid->addWidget(purpose, 0, 0, Qt::AlignBottom);
    return area;
}

QWidget* TFrmHakkinda::authorLine()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->addStretch();
    layout->addWidget(line(row, QStringLiteral("Analiz-Tasarım ve Yazılım: "), 11, true));
    layout->addWidget(line(row, authorCredit, 13, true));
    layout->addStretch();
    return row;
}

QWidget* TFrmHakkinda::contributorsPanel()
{
    QFrame* panel = ui::look::raisedPanel(this, QStringLiteral("Panel1"));
    panel->setFixedHeight(110);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(3);
    layout->addWidget(
        line(panel, QStringLiteral("Programın Analiz aşamasına katkıda bulunanlar:"), 11, true));
    for (const QString& credit : contributorCredits)
        layout->addWidget(line(panel, credit, 13, true));
    QLabel* note = line(panel,
                        QStringLiteral("Program hakkında her türlü yardım ve desteği bu sayfada "
                                       "isimleri belirtilen kişilere ulaşarak alabilirsiniz."),
                        11, true);
    setTextColour(note, navy);
    layout->addWidget(note);
    return panel;
}

} // namespace zelvo::admin

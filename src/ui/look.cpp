#include "ui/look.h"

#include <QFrame>
#include <QImageReader>
#include <QToolButton>
#include <stdexcept>

static void initPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace zelvo::ui::look {

void installFontSubstitutions()
{
    QFont::insertSubstitutions(core::look::verdana,
                               {QStringLiteral("Veranda"), QStringLiteral("DejaVu Sans")});
    QFont::insertSubstitutions(core::look::centuryGothic,
                               {QStringLiteral("URW Gothic"), QStringLiteral("DejaVu Sans")});
}

QFont verdana(int pixelSize, bool bold)
{
    QFont font(core::look::verdana);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QFont centuryGothic(int pixelSize, bool bold)
{
    QFont font(core::look::centuryGothic);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QPixmap picture(const QString& name)
{
    initPictures();
    QImageReader reader(QStringLiteral(":/pictures/%1.jpg").arg(name));
    const QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(
            QStringLiteral("picture %1: %2").arg(name, reader.errorString()).toStdString());
    return QPixmap::fromImage(image);
}

QFrame* raisedPanel(QWidget* parent, const QString& objectName)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(objectName);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    return panel;
}

QToolButton* speedButton(QWidget* parent, const QString& objectName, const QString& caption,
                         const QString& pictureName)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(caption);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    if (!pictureName.isEmpty()) {
        button->setIcon(QIcon(picture(pictureName)));
        button->setIconSize(QSize(32, 32));
    }
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                 : Qt::ToolButtonTextUnderIcon);
    return button;
}

void setHeadingFont(QWidget* label, int pixelSize)
{
    label->setFont(centuryGothic(pixelSize, true));
}

} // namespace zelvo::ui::look

#include "controls/widthlimit.h"

#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QValidator>

namespace zelvo::controls {

namespace {

class WidthValidator : public QValidator {
public:
    WidthValidator(int width, std::function<void(const QString&)> refused, QLineEdit* edit)
        : QValidator(edit), m_width(width), m_refused(std::move(refused)), m_edit(edit),
          m_shownLength(int(edit->text().size()))
    {
        // what the box shows, however it got there (setText is not validated)
        connect(edit, &QLineEdit::textChanged, this,
                [this](const QString& text) { m_shownLength = int(text.size()); });
    }
    int width() const { return m_width; }
    void setWidth(int width) { m_width = width; }
    void setRefused(std::function<void(const QString&)> refused) { m_refused = std::move(refused); }

    State validate(QString& input, int&) const override
    {
        if (m_width <= 0 || input.size() <= m_width)
            return Acceptable;
        // More than one character beyond the width came in at once: pasted or dropped text.
        // One more character is a key press, which simply does not go in.
        if (input.size() - m_shownLength > 1 && m_refused) {
            const QString why =
                QStringLiteral("Bu alan en çok %1 karakter alır; %2 karakterlik metin alınmadı.")
                    .arg(m_width)
                    .arg(input.size());
            QTimer::singleShot(0, m_edit.data(), [refused = m_refused, why] { refused(why); });
        }
        return Invalid;
    }

private:
    int m_width;
    std::function<void(const QString&)> m_refused;
    QPointer<QLineEdit> m_edit;
    int m_shownLength;
};

} // namespace

void limitTextWidth(QLineEdit* edit, int width, std::function<void(const QString&)> refused)
{
    // the validator sees pasted text whole, which the line's own maximum would cut first
    edit->setMaxLength(32767);
    if (auto* validator =
            dynamic_cast<WidthValidator*>(const_cast<QValidator*>(edit->validator()))) {
        validator->setWidth(width);
        validator->setRefused(std::move(refused));
        return;
    }
    edit->setValidator(new WidthValidator(width, std::move(refused), edit));
}

} // namespace zelvo::controls

#pragma once

#include "ui/appcontext.h"

#include <QHash>
#include <QString>
#include <functional>

class QDialog;

namespace zelvo::ui {

// The child windows the main window can open, by class name ("TFrmPSicil"). The program
// registers every window once (app/windowregistry); the main window asks for a new instance per
// click.
class WindowCatalog {
public:
    using Factory = std::function<QDialog*(AppContext&, QWidget* owner)>;

    void add(const QString& className, Factory factory) { m_factories.insert(className, factory); }
    // A window made as Window(context, owner).
    template <typename Window> void add(const QString& className)
    {
        add(className, [](AppContext& context, QWidget* owner) -> QDialog* {
            return new Window(context, owner);
        });
    }
    bool contains(const QString& className) const { return m_factories.contains(className); }
    QDialog* create(const QString& className, AppContext& context, QWidget* owner) const
    {
        const auto it = m_factories.constFind(className);
        return it == m_factories.constEnd() ? nullptr : (*it)(context, owner);
    }

private:
    QHash<QString, Factory> m_factories;
};

} // namespace zelvo::ui

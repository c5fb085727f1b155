#include "lists/registerlists.h"

#include "lists/tfrmliste.h"
#include "ui/windowcatalog.h"

namespace zelvo::lists {

void registerListWindows(ui::WindowCatalog& catalog)
{
    for (const ListVariant* variant : ListVariant::all()) {
        catalog.add(variant->className, [variant](ui::AppContext& context, QWidget* owner) {
            return new TFrmListe(context, owner, *variant);
        });
    }
}

} // namespace zelvo::lists

#include "registerlists.h"

#include "tfrmliste.h"
#include "windowcatalog.h"

void registerListWindows(app::WindowCatalog& catalog)
{
    for (const ListVariant* variant : ListVariant::all()) {
        catalog.add(variant->className, [variant](app::AppContext& context, QWidget* owner) {
            return new TFrmListe(context, owner, *variant);
        });
    }
}

// The register's buttons that reach beyond the window: a student's recorded changes, and the
// students in from a spreadsheet and out to one.
#include "register/tfrmpsicil.h"

#include "controls/dbgrid.h"
#include "db/dataset.h"
#include "register/datasetstudents.h"
#include "register/studentexport.h"
#include "register/tfrmgecmis.h"
#include "register/tfrmogrenciaktar.h"

namespace zelvo::studentregister {

void TFrmPSicil::showHistory()
{
    m_grid->commitEditor();
    if (!hasStoredCurrentStudent()) {
        message(QStringLiteral("Geçmişi gösterilecek öğrenci seçilmedi."));
        return;
    }
    TFrmGecmis history(context(), m_students->value(QStringLiteral("idogrenci")),
                       m_students->text(QStringLiteral("ogrencino")) + QLatin1Char(' ') +
                           m_students->text(QStringLiteral("adi")) + QLatin1Char(' ') +
                           m_students->text(QStringLiteral("soyadi")),
                       this);
    if (guarded([&history] { history.load(); }))
        runModal(history);
}

void TFrmPSicil::importStudents()
{
    m_grid->commitEditor();
    if (!settlePendingChange())
        return;
    if (TFrmOgrenciAktar::chooseAndPreview(*this) > 0 && m_students->isOpen())
        guarded([this] { reopenStudents(); });
}

// The rows of the last search as they stand in the grid, a change not yet stored included.
void TFrmPSicil::exportStudents()
{
    m_grid->commitEditor();
    if (!m_students->isOpen() || m_students->isEmpty()) {
        message(QStringLiteral("Önce aktarılacak öğrencileri listeleyin."));
        return;
    }
    const QString path = context().dialogs.saveFileName(
        this, QStringLiteral("Excel'e Aktar"), QStringLiteral("Excel dosyası (*.xlsx)"),
        QStringLiteral("xlsx"), QStringLiteral("ogrenciler-%1.xlsx").arg(context().unitCode()));
    reactivate();
    if (path.isEmpty())
        return;
    guarded([&] { writeStudentsXlsx(path, allStudentValues(*m_students)); });
}

} // namespace zelvo::studentregister

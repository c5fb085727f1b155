// The class names under which the catalogue holds each window and the main window's buttons and
// menus open it; the lists' names live with their variants (lists::ListVariant).
#pragma once

#include <QString>

namespace zelvo::app::windowname {

inline const QString studentRegister = QStringLiteral("TFrmPSicil");
inline const QString timesheet = QStringLiteral("TFrmPuantaj");
inline const QString timesheetGss = QStringLiteral("TFrmPuantajgss");
inline const QString accrual = QStringLiteral("TFrmTahakkuk");
inline const QString accrualGss = QStringLiteral("TFrmTahakkukGss");
inline const QString declaration = QStringLiteral("TFrmxml");
inline const QString declarationGss = QStringLiteral("TFrmxmlgss");
inline const QString workplace = QStringLiteral("TFrmisyeri");
inline const QString parameters = QStringLiteral("TFrmparametre");
inline const QString unitChange = QStringLiteral("TFrmbirimdegistir");
inline const QString password = QStringLiteral("TFrmsifre");
inline const QString about = QStringLiteral("TFrmHakkinda");
inline const QString restoreBackup = QStringLiteral("TFrmYedekGeriYukle");
inline const QString takeBackup = QStringLiteral("YedekAl"); // no window: asks for a file

} // namespace zelvo::app::windowname

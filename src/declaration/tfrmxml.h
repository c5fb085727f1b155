// The declaration window "Xml - Dosya Oluşturma": prepares the chosen month's declaration rows
// of the unit (step 1), writes them as the XML file for SGK (step 2) and as the information CSV
// (step 3). "Denetle", offered with step (2), checks what step (2) would write and writes
// nothing. The GSS edition is a thin subclass.
#pragma once

#include "declaration/declarationcheck.h"
#include "declaration/declarationedition.h"
#include "declaration/declarationinput.h"
#include "monthly/monthlywindow.h"

#include <functional>

class QToolButton;

namespace zelvo::declaration {

class TFrmxml : public monthly::MonthlyWindow {
    Q_OBJECT
public:
    explicit TFrmxml(ui::AppContext& context, QWidget* owner = nullptr,
                     const DeclarationEdition& edition = DeclarationEdition::standard());

    // The folder the check's template is read from: report::templateFolder() unless set.
    void setTemplateFolder(const QString& folder);

protected:
    void activate() override;
    void monthChosen(int month) override; // RadioGroup2Click
    void showStoredRows() override;

private:
    QFrame* buildTopPanel();
    void prepareRows();  // SpeedButton1Click: step (1)
    void writeXmlFile(); // SpeedButton2Click: step (2)
    void writeCsvFile(); // SpeedButton11Click: step (3)
    void checkRows();    // SpeedButton12Click: "Denetle"
    // The check of the rows as step (2) would write them, with the month's stale or missing
    // steps first when `withChain`.
    CheckResult checkedRows(const DeclarationInput& input, const MinimumWage& wage, bool withChain);
    // Step (2)'s questions before it writes: the month's chain, then the check's errors.
    bool confirmBeforeXml();
    void showCheckReport(const CheckResult& result, const WorkplaceRecord& workplace);
    void offerRows(bool offered);
    void reportNoRows();
    // Reads the month's rows afresh as step (2) writes them and runs `withRows` on them; after a
    // database error, or when there are none (said in a message), returns false. Offers the rows.
    bool readRowsToWrite(const std::function<void()>& withRows);
    // The save dialog both files share; empty when cancelled.
    QString chooseFile(const QString& proposedName);
    // Runs a file writer; its error text or a database error goes to the error box.
    bool writeFile(const std::function<QString()>& writer);
    DeclarationInput fileInput() const;
    // fileInput() with the workplace row and the parameter row, as the XML file is written.
    DeclarationInput xmlInput() const;
    MinimumWage minimumWage() const;

    const DeclarationEdition& m_edition;
    db::Dataset* m_parameters; // SpParametre
    db::Dataset* m_workplace;  // SpGetir
    db::Dataset* m_target;     // SpXml
    db::Dataset* m_shown;      // SpXmlListe2
    db::Dataset* m_removal;    // QSil
    db::Dataset* m_source;     // QGenel1
    QToolButton* m_prepareButton = nullptr;
    QToolButton* m_xmlButton = nullptr;
    QToolButton* m_csvButton = nullptr;
    QToolButton* m_checkButton = nullptr;
    QString m_saveName; // the name the save dialog holds between the two files
    QString m_templateFolder;
};

} // namespace zelvo::declaration

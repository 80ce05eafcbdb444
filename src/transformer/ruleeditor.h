#pragma once

#include "shell/checkededitor.h"
#include "transformer/extendedrules.h"

#include <QStringList>

namespace vordane {

class RuleLexer;

// The rule list as an editable text, one rule, definition or comment per
// line, coloured by what each part is (comments, category definitions,
// ">", "/", "_", "#", "?N"). A malformed line is underlined whole.
class RuleEditor : public CheckedEditor {
    Q_OBJECT
public:
    explicit RuleEditor(QWidget *parent = nullptr);
    ~RuleEditor() override;

    // The lines, cut as a rule file's: a final line end adds no line.
    QStringList rules() const;
    // Shows the lines (replacing the text; the change can be undone).
    void setRules(const QStringList &rules);

private:
    RuleLexer *lexer_;
};

} // namespace vordane

#include "platform/ui/TypedComboBox.h"

#include <QComboBox>

void MakeTypeable(QComboBox* combo)
{
    combo->setEditable(true);
    combo->setCompleter(nullptr); // the line edit was just given the default one
    combo->setInsertPolicy(QComboBox::NoInsert);
}

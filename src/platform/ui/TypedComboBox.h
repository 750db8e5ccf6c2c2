#pragma once

class QComboBox;

// Makes a combo box whose text can be typed as well as picked. Qt completes
// typed text from the list by default, so that "m" became "mA" and "0.02"
// became "0.024 - Corrugated metal storm drain"; here what the user types is
// what the box holds. Typed text is never added to the list either. Every
// editable combo box of the program is made by this.
void MakeTypeable(QComboBox* combo);

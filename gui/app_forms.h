// Access to the program's forms. Each form is created on first use and afterwards only
// shown and hidden, never destroyed, so it keeps its state between visits. Each accessor
// is defined in its form's own .cpp file.
#pragma once

namespace dosavia::gui {

class Form1;
class Form2;
class Form3;
class Form4;
class Form5;
class Form6;
class Form7;
class Form8;
class Form9;

Form1& GetForm1();
Form2& GetForm2();
Form3& GetForm3();
Form4& GetForm4();
Form5& GetForm5();
Form6& GetForm6();
Form7& GetForm7();
Form8& GetForm8();
Form9& GetForm9();

}  // namespace dosavia::gui

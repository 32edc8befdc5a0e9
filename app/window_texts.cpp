#include "app/window_texts.h"

#include "core/catalogue.h"
#include "core/text1251.h"

namespace orvanta {

namespace {
constexpr char kProgramName[] = "Orvanta";
constexpr char kBaseWindowTitle[] = "\"Orvanta\"";
constexpr auto kAboutCaption = RU("О программе");
}  // namespace

const char* programName() { return kProgramName; }

const char* baseWindowTitle() { return kBaseWindowTitle; }

const char* aboutCaption() { return text::tr(kAboutCaption); }

}  // namespace orvanta

#include "wizard/cliche_page.h"
#include "wizard/document_name_page.h"

#include "wizard_test_support.h"

namespace tarnis::wizard {
namespace {

class ClichePageTest : public PageTest {
 protected:
  ClichePageTest() {
    page.Fill(2);
    page.Fill(1);
  }
  config::ConfigText& Line(int cliche, int line) {
    return configuration.cliches[static_cast<std::size_t>(cliche - 1)].lines[static_cast<std::size_t>(line - 1)];
  }

  ClichePage page{configuration, device.link(), ui};
};

TEST_F(ClichePageTest, WritingClicheTwoWhileOneIsShownSendsTwoAndShowsIt) {
  Line(2, 4).Set(Cp("0ЖДЕМ ВАС СНОВА"));
  ASSERT_EQ(page.shown(), 1);
  page.Write(2);
  EXPECT_EQ(Requests(), 8u);
  EXPECT_EQ(DeviceText(4, 2, 4), Device("0ЖДЕМ ВАС СНОВА"));
  EXPECT_EQ(DeviceText(4, 1, 4), Device("0СТРОКА КЛИШЕ 3")) << "cliché 1 untouched";
  EXPECT_EQ(page.shown(), 2);
  EXPECT_EQ(Utf(page.grid().Cell(4, 1)), "ЖДЕМ ВАС СНОВА");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно..."});
  EXPECT_EQ(ui.EventsStartingWith("progress ")[8], "progress 8/8 100");
}

TEST_F(ClichePageTest, RefusedClicheAsksForEveryLineAndEndsWithoutSuccess) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().cliche_locked[0] = true; });
  page.Write(1);
  ASSERT_EQ(ui.messages.size(), 9u);
  for (std::size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(ui.messages[i].text, "Не удалось записать параметр... " + link::DeviceErrorText(51) + "\n Продолжить?");
    EXPECT_EQ(ui.messages[i].buttons, ui::Buttons::YesNo);
  }
  EXPECT_EQ(ui.messages[8].text.substr(0, ui.messages[8].text.find('\n')), "Записано с ошибками: не записано 8 из 8.");
  EXPECT_EQ(Requests(), 8u);
  ExpectClosedDown();
}

TEST_F(ClichePageTest, ReadStoppedByNoLeavesLaterLinesAsTheyWere) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().Text(4, 2, 1) = Device("1МАГАЗИН"); });
  ForceError(4, 2, 3, 0x23);
  ui.answers = {ui::Answer::No};
  page.Read(2);
  EXPECT_EQ(Line(2, 1).Text(), Cp("1МАГАЗИН"));
  EXPECT_EQ(Line(2, 3).Text(), "");
  EXPECT_EQ(Line(2, 4).Text(), Cp("0СТРОКА КЛИШЕ 3"));
  EXPECT_EQ(page.shown(), 2);
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"Не удалось прочитать параметр... " + link::DeviceErrorText(0x23) + "\n Продолжить?"});

  page.ApplyLine(3, {Cp("УЛ. ЛЕНИНА, 1"), false});
  EXPECT_EQ(Line(2, 3).Text(), Cp("0УЛ. ЛЕНИНА, 1")) << "edits go to the cliché shown";
  EXPECT_EQ(Line(1, 3).Text(), Cp("0СТРОКА КЛИШЕ 2"));
}

TEST_F(ClichePageTest, WideLineKeepsTwelveCharacters) {
  page.ApplyLine(1, {Cp("ООО РОМАШКА И КО"), true});
  EXPECT_EQ(Line(1, 1).Text(), Cp("1ООО РОМАШКА "));
  EXPECT_EQ(Utf(page.grid().Cell(1, 1)), "ООО РОМАШКА И КО");
  page.Fill(1);
  EXPECT_EQ(Utf(page.grid().Cell(1, 1)), "ООО РОМАШКА ");
}

class DocumentNamePageTest : public PageTest {
 protected:
  DocumentNamePage page{configuration, device.link(), ui};
};

TEST_F(DocumentNamePageTest, StoringFollowsTheWidthBothWays) {
  const std::string name = Cp("КВИТАНЦИЯ ОБ ОПЛАТЕ УСЛУГ");  // 25 characters: the edit keeps 24
  page.Store({name.substr(0, 20), true});
  EXPECT_EQ(configuration.document_name.Text(), "1" + name.substr(0, 12));
  page.Store({name.substr(0, 20), false});
  EXPECT_EQ(configuration.document_name.Text(), "0" + name.substr(0, 20));
  EXPECT_EQ(page.Shown(), (LineValue{name.substr(0, 20), false}));
}

TEST_F(DocumentNamePageTest, FailedReadLeavesAnEmptyNameThatIsWrittenAsSuch) {
  ForceError(1, 1, 1, 0x23);
  bool edit_emptied = false, filled = false;
  page.Read([&] { edit_emptied = true; }, [&] { filled = true; });
  EXPECT_TRUE(edit_emptied);
  EXPECT_FALSE(filled);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Не удалось прочитать параметр... " + link::DeviceErrorText(0x23)});
  const auto& bytes = configuration.document_name.bytes;
  EXPECT_TRUE(std::all_of(std::begin(bytes), std::end(bytes), [](char b) { return b == 0; }));

  device.WithDevice([](emulator::Km07Device& d) { d.faults().forced_errors.clear(); });
  page.Write();
  EXPECT_EQ(DeviceText(1, 1, 1), "");
  EXPECT_EQ(ui.messages.back().text, "Записано удачно...");
  ExpectClosedDown();
}

TEST_F(DocumentNamePageTest, ReadTellsSuccessBeforeShowing) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().Text(1, 1, 1) = Device("1КВИТАНЦИЯ"); });
  page.Read({}, [&] { ui.events.push_back("fill"); });
  EXPECT_EQ(configuration.document_name.Text(), Cp("1КВИТАНЦИЯ"));
  EXPECT_EQ(ui.events, (std::vector<std::string>{"cursor busy", "message Предупреждение...: Прочитано удачно...",
                                                 "fill", "cursor normal"}));
}

TEST_F(DocumentNamePageTest, WriteFailureShowsTheLinkMessage) {
  UnplugDevice();
  page.Write();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Не удалось записать параметр... " + kNoAnswer});
}

}  // namespace
}  // namespace tarnis::wizard

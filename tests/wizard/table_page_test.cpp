#include "wizard/table_page.h"

#include "wizard_test_support.h"

namespace tarnis::wizard {
namespace {

class TablePageTest : public PageTest {
 protected:
  TablePageTest() {
    services.Fill();
    requisites.Fill();
  }

  TablePage services{kServicesPage, configuration, device.link(), ui};
  TablePage requisites{kRequisitesPage, configuration, device.link(), ui};
};

TEST_F(TablePageTest, ShapesAndEditorsFollowTheSection) {
  EXPECT_EQ(services.items(), 99);
  EXPECT_EQ(services.grid().rows(), 100);
  EXPECT_EQ(services.access_column(), 3);
  EXPECT_EQ(requisites.items(), 8);
  EXPECT_EQ(requisites.grid().rows(), 9);
  EXPECT_EQ(requisites.access_column(), 4);
  EXPECT_EQ(Utf(services.grid().Cell(99, 2)), "УСЛУГА 99 - СТРОКА 2");
  EXPECT_EQ(Utf(requisites.grid().Cell(8, 3)), "ДОП. РЕК 8 - СТРОКА 3");
  EXPECT_EQ(requisites.EditorAt(3), CellEditor::Line);
  EXPECT_EQ(requisites.EditorAt(4), CellEditor::None);
  EXPECT_EQ(requisites.EditorAt(0), CellEditor::None);
  EXPECT_EQ(services.EditorAt(3), CellEditor::None);
}

TEST_F(TablePageTest, EditedLineGoesToItsItemAndLine) {
  requisites.ApplyLine(8, 3, {Cp("ИНН 7701234567"), false});
  EXPECT_EQ(configuration.requisites[7].lines[2].Text(), Cp("0ИНН 7701234567"));
  services.ApplyLine(1, 2, {Cp("ДОСТАВКА ПО ГОРОДУ"), true});
  EXPECT_EQ(configuration.services[0].lines[1].Text(), Cp("1ДОСТАВКА ПО "));
  EXPECT_EQ(services.LineAt(1, 2), (LineValue{Cp("ДОСТАВКА ПО ГОРОДУ"), true}));
}

TEST_F(TablePageTest, ReadAllWithoutDeviceAsksForEveryLineUntilNo) {
  UnplugDevice();
  ui.answers = {ui::Answer::Yes, ui::Answer::Yes, ui::Answer::No};
  services.Read(false, 0);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.messages[2].text, "Не удалось прочитать параметр... " + kNoAnswer + "\n Продолжить?");
  EXPECT_EQ(configuration.services[0].lines[0].Text(), "");
  EXPECT_EQ(configuration.services[0].lines[1].Text(), "");
  EXPECT_EQ(configuration.services[1].lines[0].Text(), "") << "the line asked about was emptied";
  EXPECT_EQ(configuration.services[1].lines[1].Text(), Cp("0УСЛУГА 2 - СТРОКА 2"));
  EXPECT_EQ(configuration.services[98].lines[1].Text(), Cp("0УСЛУГА 99 - СТРОКА 2"));
  EXPECT_EQ(ui.EventsStartingWith("progress "),
            (std::vector<std::string>{"progress start", "progress 1/198 0", "progress 2/198 1", "progress end"}));
  ExpectClosedDown();
}

TEST_F(TablePageTest, WriteAllGoesOnAfterAFailureAndEndsWithoutSuccess) {
  ForceError(2, 5, 1, 0x23);
  services.Write(false, 0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось записать параметр... " + link::DeviceErrorText(0x23) + "\n Продолжить?");
  EXPECT_EQ(ui.messages[1].text, "Записано с ошибками: не записано 1 из 198.\nУслуги №5, строка 1");
  EXPECT_EQ(ui.messages[1].icon, ui::Icon::Warning);
  EXPECT_EQ(Requests(), 198u);
  EXPECT_EQ(DeviceText(2, 6, 1), Device("0УСЛУГА 6 - СТРОКА 1"));
  EXPECT_EQ(ui.EventsStartingWith("progress ").back(), "progress end");
  ExpectClosedDown();
}

TEST_F(TablePageTest, SingleWriteAnsweredWithADeviceErrorUpdatesAccessFromTheAnswer) {
  SetDeviceEnabled(2, 4, 0);
  EXPECT_EQ(Utf(services.grid().Cell(4, 3)), "да");
  services.Write(true, 4);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось записать параметр... " + link::DeviceErrorText(52));
  EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
  EXPECT_EQ(Requests(), 1u) << "the first failure ends a single write";
  EXPECT_EQ(Utf(services.grid().Cell(4, 3)), "нет");

  services.Write(true, 4);
  EXPECT_EQ(ui.messages.back().text, "Параметр недоступен для изменения...");
  EXPECT_EQ(Requests(), 1u);
}

TEST_F(TablePageTest, WriteAllSkipsItemsMarkedNet) {
  configuration.requisites[1].enabled = 0;
  requisites.Fill();
  requisites.Write(false, 0);
  EXPECT_EQ(Requests(), 7u * 3);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно..."});
  const auto steps = ui.EventsStartingWith("progress ");
  EXPECT_EQ(steps[3], "progress 3/24 12");
  EXPECT_EQ(steps[4], "progress 7/24 29") << "requisite 2 has no progress steps";
}

TEST_F(TablePageTest, SingleReadFailureTextsAndNoticeOrderDiffer) {
  ForceError(2, 3, 2, 0x23);
  ForceError(3, 3, 2, 0x23);
  services.Read(true, 3);
  requisites.Read(true, 3);
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{
                                   "Не удалось прочитать параметр..." + link::DeviceErrorText(0x23),
                                   "Не удалось прочитать параметр... " + link::DeviceErrorText(0x23)}));
  EXPECT_EQ(configuration.services[2].lines[0].Text(), Cp("0УСЛУГА 3 - СТРОКА 1"));
  EXPECT_EQ(configuration.services[2].lines[1].Text(), "");

  ui.events.clear();
  RecordFills(services.grid());
  services.Read(true, 1);
  EXPECT_EQ(ui.events, (std::vector<std::string>{"cursor busy", "progress start", "progress 1/2 50", "progress 2/2 100",
                                                 "progress end", "fill",
                                                 "message Предупреждение...: Прочитано удачно...", "cursor normal"}));
  ui.events.clear();
  RecordFills(requisites.grid());
  requisites.Read(true, 1);
  EXPECT_EQ(ui.events, (std::vector<std::string>{"cursor busy", "progress start", "progress 1/3 33", "progress 2/3 66",
                                                 "progress 3/3 100", "progress end",
                                                 "message Предупреждение...: Прочитано удачно...", "fill",
                                                 "cursor normal"}));
}

TEST_F(TablePageTest, ReadAllTakesAccessFromTheDevice) {
  SetDeviceEnabled(3, 5, 0);
  device.WithDevice([](emulator::Km07Device& d) { d.state().Text(3, 8, 3) = Device("0КОНЕЦ"); });
  requisites.Read(false, 0);
  EXPECT_EQ(Requests(), 24u);
  EXPECT_EQ(configuration.requisites[4].enabled, 0);
  EXPECT_EQ(Utf(requisites.grid().Cell(5, 4)), "нет");
  EXPECT_EQ(Utf(requisites.grid().Cell(8, 3)), "КОНЕЦ");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});
}

TEST_F(TablePageTest, ClearEmptiesOnlyRowsNotMarkedNet) {
  configuration.services[9].enabled = 0;
  services.Fill();
  services.Clear();
  requisites.Clear();
  EXPECT_EQ(configuration.services[9].lines[0].Text(), Cp("0УСЛУГА 10 - СТРОКА 1"));
  EXPECT_EQ(Utf(services.grid().Cell(10, 2)), "УСЛУГА 10 - СТРОКА 2");
  EXPECT_EQ(configuration.services[98].lines[1].Text(), "");
  EXPECT_EQ(services.grid().Cell(99, 2), "");
  EXPECT_EQ(configuration.services[0].enabled, 1);
  EXPECT_EQ(configuration.requisites[7].lines[2].Text(), "");
  for (std::size_t slot = 8; slot < config::kRequisiteSlots; ++slot)
    EXPECT_EQ(configuration.requisites[slot].enabled, 0) << "unused slots stay zero";
}

}  // namespace
}  // namespace tarnis::wizard

#pragma once
// Which control skinner a control gets. The mapping rules answer with one of these; the control
// skinners are made from it.
enum class TSkinnerKind {
  None,
  Button,
  BitButton,
  PngBitButton,
  SpeedButton,
  MenuButton,
  CheckBox,
  RadioButton,
  // Check and radio items of other libraries' group controls, drawn from their own glyphs.
  ObjImage,
  GroupBox,
  Box,
  Edit,
  ComBox,
  DateTime,
  Scrollbar,
  Progress,
  TrackBar,
  UpDown,
  MediaPlayer,
  Tab,
  TabButtons,
  Tab31,
  TabSheet,
  AdvPage,
  Header,
  StatusBar,
  // The size grip of a window: no skin object, drawn in the skin's colours.
  Sizer,
};

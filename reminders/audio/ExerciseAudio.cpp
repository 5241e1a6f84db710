#include "reminders/audio/ExerciseAudio.h"

#include "framework/controls/Controls.h"
#include "framework/media/MediaPlayer.h"
#include "framework/resources/ResourceFile.h"

std::string ExerciseAudioPath() { return PathNextToExecutable(kExerciseAudioFile); }

void StartExerciseAudio(TMediaPlayer& player) {
  player.FileName = ExtractResourceNextToExecutable(kExerciseAudioResource, kExerciseAudioType, kExerciseAudioFile);
  player.Open();
  player.Play();
}

void TogglePauseButton(TMediaPlayer& player, TControl& button) {
  if (button.Caption() == kPauseCaption) {
    player.Pause();
    button.SetCaption(kContinueCaption);
  } else {
    player.Play();
    button.SetCaption(kPauseCaption);
  }
}

std::exception_ptr StopExerciseAudio(TMediaPlayer& player) {
  try {
    player.Close();
  } catch (...) {
    return std::current_exception();
  }
  return nullptr;
}

void DeleteExerciseAudio() { DeleteFileIfExists(ExerciseAudioPath()); }

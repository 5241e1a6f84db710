#pragma once
// The eye-exercise audio that both reminder windows play: a fresh copy of the embedded MP3 is
// written next to the executable for each reminder, played by the window's own player, paused
// and continued through the window's pause button, and deleted when the window closes.
#include <exception>
#include <string>

class TControl;
class TMediaPlayer;

inline constexpr char kExerciseAudioFile[] = "eyezz.mp3";
inline constexpr char kExerciseAudioResource[] = "MP3";
inline constexpr char kExerciseAudioType[] = "EYE3";

// The pause button's caption is the playback state as the window sees it.
inline constexpr char kPauseCaption[] = "暂停一下(&P)";
inline constexpr char kContinueCaption[] = "继续播放(&P)";

std::string ExerciseAudioPath();

// Deletes a left-over copy, writes the resource, opens it in player and starts it from the
// beginning. Raises the writer's or the player's error; nothing after the failing step runs.
void StartExerciseAudio(TMediaPlayer& player);

// The pause button: "暂停一下" pauses (and does nothing once the audio has stopped by itself),
// "继续播放" plays on from the current position. The caption flips only when the player
// accepted the command, so a failure leaves the button telling the truth.
void TogglePauseButton(TMediaPlayer& player, TControl& button);

// Closes the player so that the file can go. Its failure is handed back rather than raised: the
// return button must re-arm the alarm and close the window all the same, then report it.
[[nodiscard]] std::exception_ptr StopExerciseAudio(TMediaPlayer& player);

// Removes the copy; a file that cannot be removed is left alone (the next reminder reports it).
void DeleteExerciseAudio();

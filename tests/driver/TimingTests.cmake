# Read by ctest after the discovered driver tests. These hold the driver to its timing on the line:
# a reply ends at once on a refusal, a silent line costs one reply window and an unanswered request
# four, a lost line ends a read at once. An upper bound on time is their point, and no event stands
# for it, so they run alone instead of beside the rest of the suite, whose load would stretch them.
set_tests_properties(
  ChannelTest.ALeadingNakEndsTheReplyAtOnce
  ChannelTest.ASilentLineGivesEmptyTextAfterOneWindow
  ChannelTest.ALostLineIsAnErrorNeverAReadingAndTheLineCanBeOpenedAgain
  KorotkaVTITest.ASilentSetUpReplyEndsTheRequestAfterFourWindows
  MlcQueryTest.AnInstrumentThatDoesNotAnswerProperlyIsNotFound
  PROPERTIES RUN_SERIAL TRUE)

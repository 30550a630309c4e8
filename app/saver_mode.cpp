// Saver mode: schedule the hibernation, then offer to cancel it.
#include "app/modes.h"
#include "app/delay_setting.h"
#include "app/globals.h"
#include "toolkit/core/text.h"

void HibernateSchedule() {
    uint32_t at = WorkspacePosition();
    DelayGet(at);
    TextStore(&g_program.delayText, at);
    // Only the empty text is replaced: no number test and no minimum here.
    if (TextEqual(g_program.delayText, "")) TextAssign(&g_program.delayText, "60");

    TextExpression parameters;
    TextAppend("-f -h -t ");
    TextAppend(g_program.delayText);
    // Passed on directly: keep texts built meanwhile off the result.
    WorkspacePositionSet(WorkspacePosition() + 1);
    // Whether the tool could be started changes nothing: the cancel window
    // is offered all the same.
    ToolRun(WorkspaceAt(parameters.start()));
    WorkspacePositionSet(parameters.start());
}

void SaverModeRun() {
    HibernateSchedule();
    CancelWindowRun();
}

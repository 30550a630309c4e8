// Saver mode: schedule the hibernation, then offer to cancel it.
#include "app/modes.h"
#include "app/delay_setting.h"
#include "app/globals.h"
#include "app/tool.h"
#include "toolkit/core/text.h"

void HibernateSchedule() {
    DelayInUseKeep(&g_program.delayText);

    // A tool that cannot hibernate is not started at all: said once, and the
    // cancel window is offered all the same.
    g_program.toolMissing = ToolReadinessCheck();
    if (g_program.toolMissing) {
        ToolReadinessSay(g_program.toolMissing);
        return;
    }

    TextExpression parameters;
    TextAppend("-f -h -t ");
    TextAppend(g_program.delayText);
    // Passed on directly: keep texts built meanwhile off the result.
    WorkspacePositionSet(WorkspacePosition() + 1);
    ToolRun(WorkspaceAt(parameters.start()));
    WorkspacePositionSet(parameters.start());
}

void SaverModeRun() {
    HibernateSchedule();
    CancelWindowRun();
}

// The integer states a page keeps beside its pixels, by name.
#pragma once

// What a page holds, as PageState says: never prepared (never shown, not even filled), cleared
// and blank, or with content. A page never goes back to PageNeverPrepared.
enum PageStates { PageNeverPrepared = 0, PageCleared, PageWithContent };

// What the text panel of a page shows, as its PanelKind says: no panel, the text editor, or a
// document with the editor hidden.
enum PanelKinds { NoPanel = 0, TextPanel, DocumentPanel };

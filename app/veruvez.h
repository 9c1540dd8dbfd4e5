/* VERUVEZ.EXE: globals and procedures shared between the program's files. */
#ifndef VMT_VERUVEZ_H
#define VMT_VERUVEZ_H

#include <windows.h>
#include "resource.h"
#include "res/texts.h"
#include "log/logrules.h"
#include "selection/selectionrules.h"

/* app/ */
extern HINSTANCE g_hInst;
extern HWND      g_hwndLog;
extern HANDLE    g_hDevice;
extern char      g_szClassName[TEXT_SIZE];
extern char      g_szTitle[TEXT_SIZE];
extern char      g_szMsgCaption[TEXT_SIZE];   /* the operator's Yes/No and OK boxes */
extern char      g_szErrorCaption[TEXT_SIZE];

/* The log pane: a child, visible, read-only multi-line RichEdit 1.0 whose
   text limit is raised so that a long session keeps every line. */
#define LOG_PANE_STYLE  0x5230C8C4
#define LOG_TEXT_LIMIT  0x7FFFFFFE

/* Private message: the log pane may paint again (posted by LogPrintf). */
#define WM_APP_LOGPAINT (WM_APP + 1)

/* Loads the program's names and captions from the string table into the
   globals above; FALSE when one is missing. */
BOOL             LoadProgramNames(HINSTANCE hInstance);
/* The address of a procedure of a system DLL that only a menu command needs,
   loaded on first use (the DLL then stays); NULL if it cannot be found.
   Start-up thereby loads no DLL that it does not use itself. */
void            *GetCommandProc(const char *dll, const char *name);
BOOL             RegisterMainClass(HINSTANCE hInstance);
BOOL             CreateMainWindow(HINSTANCE hInstance, int nCmdShow);
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/* log/ */
int  LogPrintf(int level, const char *format, ...);
void DebugPrintf(const char *format, ...);
void LogResumePainting(void);
void SaveLogFile(HWND hwndOwner);
DWORD CALLBACK LogStreamOutCallback(DWORD_PTR dwCookie, LPBYTE pbBuff, LONG cb, LONG *pcb);

/* driver/ */
void  OpenAcpiDevice(void);
void  CloseAcpiDevice(void);
/* Sends one request with buf as input and output; returns 0 or the system
   error code.  DeviceRequest also writes the failure to the log. */
DWORD DeviceRequestQuiet(DWORD code, void *buf, DWORD size);
DWORD DeviceRequest(DWORD code, void *buf, DWORD size);
DWORD DeviceRequestValue(DWORD code, DWORD value);
/* As DeviceRequest; *pcbReply receives the number of bytes written back. */
DWORD DeviceRequestReply(DWORD code, void *buf, DWORD size, DWORD *pcbReply);

/* selection/ */
void LoadTestSelection(const char *fileName);
void SaveTestSelection(const char *fileName);
void QueryCapabilities(void);

/* pages/ */
int  ShowFilterOptions(HWND hwndParent, int startPage);
INT_PTR CALLBACK ProcessorPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK SystemPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ThermalPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RtcAlarmPageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

/* testpass/ */
void RunProcessorStateTests(HWND hwnd);
void RunSystemStateTests(HWND hwnd);
void RunFanTests(HWND hwnd);
void RunThrottleTests(HWND hwnd);

#endif

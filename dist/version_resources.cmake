# The version resource of every Windows binary that ships.
ziro_version_resource(tarnel DESCRIPTION "Tarnel real-time voice talk"
                             DESCRIPTION_ZH "Tarnel 实时语音通话")
ziro_version_resource(ziromail DESCRIPTION "ZiroMail HTML mail sender"
                               DESCRIPTION_ZH "ZiroMail 邮件发送")
ziro_version_resource(unzdll DESCRIPTION "UNZDLL ZIP archive extraction"
                             DESCRIPTION_ZH "UNZDLL ZIP 压缩包解压")
ziro_version_resource(g729a DESCRIPTION "G.729 Annex A speech codec tool"
                            DESCRIPTION_ZH "G.729A 语音编解码工具")
ziro_version_resource(tarnel-call DESCRIPTION "Tarnel voice call over UDP"
                                  DESCRIPTION_ZH "Tarnel 网络语音通话工具")
if(WIN32)
  ziro_version_resource(lumvox DESCRIPTION "Lumvox voice messages"
                               DESCRIPTION_ZH "Lumvox 语音留言")
endif()
ziro_version_resource(UpDate DESCRIPTION "UpDate client updater"
                             DESCRIPTION_ZH "UpDate 客户端升级程序")
